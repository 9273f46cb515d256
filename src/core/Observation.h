#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace tempik::core {

/// Keeps an observer registered for as long as it lives; destroying it (or reset()) removes
/// the observer. Move-only. Outliving the observed object is harmless.
class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> unsubscribe) : unsubscribe_(std::move(unsubscribe)) {}
  Subscription(Subscription&& other) noexcept
      : unsubscribe_(std::exchange(other.unsubscribe_, {})) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      reset();
      unsubscribe_ = std::exchange(other.unsubscribe_, {});
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }

  void reset() {
    if (auto unsubscribe = std::exchange(unsubscribe_, {})) unsubscribe();
  }

 private:
  std::function<void()> unsubscribe_;
};

/// The observers of one object, called in the order they subscribed. Lives on one thread,
/// like the object it belongs to. Observers may subscribe or unsubscribe while being
/// notified: one removed meanwhile is not called, one added meanwhile waits for the next
/// change.
template <typename... Event>
class ObserverList {
 public:
  using Observer = std::function<void(Event...)>;

  [[nodiscard]] Subscription add(Observer observer) {
    const std::uint64_t id = observers_->nextId++;
    observers_->byId.emplace(id, std::make_shared<Observer>(std::move(observer)));
    return Subscription([weakObservers = std::weak_ptr<Observers>(observers_), id] {
      if (auto observers = weakObservers.lock()) observers->byId.erase(id);
    });
  }

  void notify(const Event&... event) const {
    if (observers_->byId.empty()) return;
    std::vector<std::uint64_t> ids;
    ids.reserve(observers_->byId.size());
    for (const auto& entry : observers_->byId) ids.push_back(entry.first);
    const auto keepAlive = observers_;
    for (const std::uint64_t id : ids) {
      const auto found = keepAlive->byId.find(id);
      if (found == keepAlive->byId.end()) continue;
      const std::shared_ptr<Observer> observer = found->second;  // survives unsubscribing
      (*observer)(event...);
    }
  }

 private:
  struct Observers {
    std::uint64_t nextId = 0;
    std::map<std::uint64_t, std::shared_ptr<Observer>> byId;
  };
  std::shared_ptr<Observers> observers_ = std::make_shared<Observers>();
};

}  // namespace tempik::core
