// Reading, writing, their time-outs and the disconnect-after requests. Runs on the socket queue.
#include <algorithm>

#include "net/AsyncSocket.h"
#include "net/Platform.h"

namespace tempik::net {

namespace {

bool wouldBlock(int error) {
  return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

// --- Readiness sources --------------------------------------------------------------------------

void AsyncSocket::suspendReadSource() {
  if (!sources_ || (flags_ & kReadSourceSuspended)) return;
  sources_->suspendRead();
  flags_ |= kReadSourceSuspended;
}

void AsyncSocket::resumeReadSource() {
  if (!sources_) return;
  sources_->resumeRead();
  flags_ &= ~kReadSourceSuspended;
}

void AsyncSocket::suspendWriteSource() {
  if (!sources_ || (flags_ & kWriteSourceSuspended)) return;
  sources_->suspendWrite();
  flags_ |= kWriteSourceSuspended;
}

void AsyncSocket::resumeWriteSource() {
  if (!sources_) return;
  sources_->resumeWrite();
  flags_ &= ~kWriteSourceSuspended;
}

// --- Reading ------------------------------------------------------------------------------------

void AsyncSocket::queueRead(ReadPacket packet) {
  if (!(flags_ & kStarted) || (flags_ & kForbidReadsWrites)) return;
  readQueue_.push_back(std::move(packet));
  maybeDequeueRead();
}

void AsyncSocket::maybeDequeueRead() {
  if (currentRead_ || !(flags_ & kConnected)) return;
  if (readQueue_.empty()) {
    maybeCloseAfterRequests();
    return;
  }
  currentRead_ = std::move(readQueue_.front());
  readQueue_.pop_front();
  ++readSerial_;
  if (currentRead_->timeout >= 0) startTimeout(true, currentRead_->timeout);
  doReadData();
}

void AsyncSocket::readSourceFired(std::size_t available, int error) {
  if (error != 0) {  // the wait itself failed: the read would
    closeWithError(errors::posix(error, "Error in read() function"));
    return;
  }
  socketFDBytesAvailable_ = available;
  if (available > 0) {
    doReadData();
  } else {
    doReadEndOfStream();
  }
}

void AsyncSocket::doReadData() {
  if (!currentRead_ || (flags_ & kReadsPaused)) {
    // Nothing to read into: stop the source firing until a read is queued.
    if (socketFDBytesAvailable_ > 0) suspendReadSource();
    return;
  }
  if (socketFDBytesAvailable_ == 0) {
    resumeReadSource();
    return;
  }
  auto& packet = *currentRead_;
  const auto wanted = static_cast<std::size_t>(socketFDBytesAvailable_);
  packet.buffer.resize(packet.bytesDone + wanted);
  const auto fd = connectedDescriptor();
  const auto result = platform::retryOnInterrupt(
      [&] { return platform::receive(fd, packet.buffer.data() + packet.bytesDone, wanted); });
  if (result < 0) {
    const int error = platform::lastSocketError();
    packet.buffer.resize(packet.bytesDone);
    if (wouldBlock(error)) {
      socketFDBytesAvailable_ = 0;
      resumeReadSource();
    } else {
      closeWithError(errors::posix(error, "Error in read() function"));
    }
    return;
  }
  if (result == 0) {
    packet.buffer.resize(packet.bytesDone);
    doReadEndOfStream();
    return;
  }
  const auto count = static_cast<std::size_t>(result);
  socketFDBytesAvailable_ -= std::min<std::uint64_t>(count, socketFDBytesAvailable_);
  packet.bytesDone += count;
  packet.buffer.resize(packet.bytesDone);
  finishCurrentRead();
}

void AsyncSocket::doReadEndOfStream() {
  // Readable with nothing to read: the end of the stream, an error, or bytes that arrived just
  // now. A peek tells them apart without taking anything.
  const auto fd = connectedDescriptor();
  char probe = 0;
  const auto result =
      platform::retryOnInterrupt([&] { return platform::receive(fd, &probe, 1, /*peek=*/true); });
  if (result > 0) {
    socketFDBytesAvailable_ = std::max<std::uint64_t>(socketFDBytesAvailable_, 1);
    doReadData();
    return;
  }
  if (result < 0) {
    const int error = platform::lastSocketError();
    if (!wouldBlock(error)) closeWithError(errors::posix(error, "Error in read() function"));
    return;
  }
  flags_ |= kReadStreamClosed;
  if ((config_ & kAllowHalfDuplex) == 0) {
    closeWithError(errors::connectionClosed(textLookup_));
    return;
  }
  suspendReadSource();
  notifyDelegate([](AsyncSocketDelegate& delegate, AsyncSocket& socket) {
    delegate.socketDidCloseReadStream(socket);
  });
}

void AsyncSocket::finishCurrentRead() {
  auto packet = std::move(*currentRead_);
  currentRead_.reset();
  readTimer_.cancel();
  notifyDelegate([data = std::move(packet.buffer), tag = packet.tag](AsyncSocketDelegate& delegate,
                                                                     AsyncSocket& socket) {
    delegate.socketDidReadData(socket, data, tag);
  });
  maybeDequeueRead();
}

// --- Writing ------------------------------------------------------------------------------------

void AsyncSocket::queueWrite(WritePacket packet) {
  if (!(flags_ & kStarted) || (flags_ & kForbidReadsWrites)) return;
  writeQueue_.push_back(std::move(packet));
  maybeDequeueWrite();
}

void AsyncSocket::maybeDequeueWrite() {
  if (currentWrite_ || !(flags_ & kConnected)) return;
  if (writeQueue_.empty()) {
    maybeCloseAfterRequests();
    return;
  }
  currentWrite_ = std::move(writeQueue_.front());
  writeQueue_.pop_front();
  ++writeSerial_;
  if (currentWrite_->timeout >= 0) startTimeout(false, currentWrite_->timeout);
  doWriteData();
}

void AsyncSocket::writeSourceFired() {
  flags_ |= kSocketCanAcceptBytes;
  doWriteData();
}

void AsyncSocket::doWriteData() {
  if (!currentWrite_ || (flags_ & kWritesPaused)) {
    if (flags_ & kSocketCanAcceptBytes) suspendWriteSource();
    return;
  }
  if (!(flags_ & kSocketCanAcceptBytes)) {
    resumeWriteSource();
    return;
  }
  auto& packet = *currentWrite_;
  const auto fd = connectedDescriptor();
  const std::size_t remaining = packet.buffer.size() - packet.bytesDone;
  const auto result = platform::retryOnInterrupt(
      [&] { return platform::send(fd, packet.buffer.data() + packet.bytesDone, remaining); });
  if (result < 0) {
    const int error = platform::lastSocketError();
    if (wouldBlock(error)) {
      flags_ &= ~kSocketCanAcceptBytes;
      resumeWriteSource();
    } else {
      closeWithError(errors::posix(error, "Error in write() function"));
    }
    return;
  }
  packet.bytesDone += static_cast<std::size_t>(result);
  if (packet.bytesDone == packet.buffer.size()) {
    finishCurrentWrite();
    return;
  }
  flags_ &= ~kSocketCanAcceptBytes;
  resumeWriteSource();
  notifyDelegate([length = static_cast<std::size_t>(result), tag = packet.tag](
                     AsyncSocketDelegate& delegate, AsyncSocket& socket) {
    delegate.socketDidWritePartialDataOfLength(socket, length, tag);
  });
}

void AsyncSocket::finishCurrentWrite() {
  const auto tag = currentWrite_->tag;
  currentWrite_.reset();
  writeTimer_.cancel();
  notifyDelegate([tag](AsyncSocketDelegate& delegate, AsyncSocket& socket) {
    delegate.socketDidWriteData(socket, tag);
  });
  // The next write starts from a fresh job, not from inside this one.
  later([](AsyncSocket& self) { self.maybeDequeueWrite(); });
}

// --- Time-outs ----------------------------------------------------------------------------------

void AsyncSocket::startTimeout(bool read, double seconds) {
  const auto serial = read ? readSerial_ : writeSerial_;
  auto timer = socketQueue_->after(
      std::chrono::duration_cast<SerialQueue::Duration>(std::chrono::duration<double>(seconds)),
      [socket = weak_from_this(), read, serial] {
        if (auto self = socket.lock()) self->timedOut(read, serial);
      });
  (read ? readTimer_ : writeTimer_) = std::move(timer);
  (read ? readStarted_ : writeStarted_) = Clock::now();
}

void AsyncSocket::timedOut(bool read, std::uint64_t serial) {
  const bool current =
      read ? (currentRead_ && serial == readSerial_) : (currentWrite_ && serial == writeSerial_);
  if (!current) return;
  flags_ |= read ? kReadsPaused : kWritesPaused;
  const auto tag = read ? currentRead_->tag : currentWrite_->tag;
  const auto bytesDone = read ? currentRead_->bytesDone : currentWrite_->bytesDone;
  const double elapsed =
      std::chrono::duration<double>(Clock::now() - (read ? readStarted_ : writeStarted_)).count();
  // Ask the delegate on its queue, then come back here with the answer (none when it is gone).
  delegateQueue_->async(
      [socket = weak_from_this(), delegate = delegate_, read, serial, tag, elapsed, bytesDone] {
        auto self = socket.lock();
        if (!self) return;
        double extension = 0;
        if (auto target = delegate.lock()) {
          extension = read ? target->socketShouldTimeoutRead(*self, tag, elapsed, bytesDone)
                           : target->socketShouldTimeoutWrite(*self, tag, elapsed, bytesDone);
        }
        self->later([read, serial, extension](AsyncSocket& socket) {
          socket.timeoutAnswered(read, serial, extension);
        });
      });
}

void AsyncSocket::timeoutAnswered(bool read, std::uint64_t serial, double extension) {
  const bool current =
      read ? (currentRead_ && serial == readSerial_) : (currentWrite_ && serial == writeSerial_);
  if (!current) return;
  if (extension > 0) {
    // Keep the original start so elapsed keeps counting from the request.
    auto started = read ? readStarted_ : writeStarted_;
    startTimeout(read, extension);
    (read ? readStarted_ : writeStarted_) = started;
    flags_ &= read ? ~kReadsPaused : ~kWritesPaused;
    if (read) {
      doReadData();
    } else {
      doWriteData();
    }
    return;
  }
  closeWithError(read ? errors::readTimeout(textLookup_) : errors::writeTimeout(textLookup_));
}

// --- Disconnecting after pending requests ------------------------------------------------------

void AsyncSocket::disconnectAfter(std::uint32_t which) {
  if (!(flags_ & kStarted)) return;
  flags_ |= kForbidReadsWrites | which;
  maybeCloseAfterRequests();
}

void AsyncSocket::maybeCloseAfterRequests() {
  const bool afterReads = (flags_ & kDisconnectAfterReads) != 0;
  const bool afterWrites = (flags_ & kDisconnectAfterWrites) != 0;
  if (!afterReads && !afterWrites) return;
  const bool readsDone = !currentRead_ && readQueue_.empty();
  const bool writesDone = !currentWrite_ && writeQueue_.empty();
  if ((!afterReads || readsDone) && (!afterWrites || writesDone)) closeWithError(std::nullopt);
}

}  // namespace tempik::net
