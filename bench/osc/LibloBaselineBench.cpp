// liblo on the same messages: lo_message_serialise for encoding (message built from its
// parts, as for the others); lo_message_deserialise with the address and strings copied into
// std::string (and the blob into a vector) for decoding.
#include <benchmark/benchmark.h>
#include <lo/lo.h>

#include <string>
#include <vector>

#include "BenchMessages.h"

namespace tempik::osc::bench {
namespace {

lo_message buildConsole() {
  lo_message m = lo_message_new();
  lo_message_add_string(m, kConsoleText);
  return m;
}

lo_message buildMixed(lo_blob blob) {
  lo_message m = lo_message_new();
  lo_message_add_int32(m, kMixedInt32);
  lo_message_add_float(m, kMixedFloat);
  lo_message_add_string(m, kMixedString);
  lo_message_add_blob(m, blob);
  lo_message_add_int64(m, kMixedInt64);
  lo_message_add_double(m, kMixedDouble);
  lo_message_add_true(m);
  return m;
}

std::size_t serialise(lo_message m, const char* path, char* buffer) {
  std::size_t size = 0;
  lo_message_serialise(m, path, buffer, &size);
  return size;
}

void libloEncodeConsole(benchmark::State& state) {
  char buffer[1024];
  for (auto _ : state) {
    lo_message m = buildConsole();
    benchmark::DoNotOptimize(serialise(m, kConsoleAddress, buffer));
    lo_message_free(m);
  }
}

void libloEncodeMixed(benchmark::State& state) {
  char buffer[1024];
  for (auto _ : state) {
    lo_blob blob = lo_blob_new(static_cast<int32_t>(kMixedBlob.size()), kMixedBlob.data());
    lo_message m = buildMixed(blob);
    benchmark::DoNotOptimize(serialise(m, kMixedAddress, buffer));
    lo_message_free(m);
    lo_blob_free(blob);
  }
}

void copyingDecode(benchmark::State& state, char* data, std::size_t size) {
  for (auto _ : state) {
    int result = 0;
    lo_message m = lo_message_deserialise(data, size, &result);
    std::string address = lo_get_path(data, static_cast<ssize_t>(size));
    benchmark::DoNotOptimize(address.data());
    const char* types = lo_message_get_types(m);
    lo_arg** argv = lo_message_get_argv(m);
    const int argc = lo_message_get_argc(m);
    for (int i = 0; i < argc; ++i) {
      switch (types[i]) {
        case LO_STRING: {
          std::string text = &argv[i]->s;
          benchmark::DoNotOptimize(text.data());
          break;
        }
        case LO_BLOB: {
          const auto* bytes = reinterpret_cast<const std::uint8_t*>(&argv[i]->blob.data);
          std::vector<std::uint8_t> blob(bytes, bytes + argv[i]->blob.size);
          benchmark::DoNotOptimize(blob.data());
          break;
        }
        case LO_INT32:
          benchmark::DoNotOptimize(argv[i]->i);
          break;
        case LO_FLOAT:
          benchmark::DoNotOptimize(argv[i]->f);
          break;
        case LO_INT64:
          benchmark::DoNotOptimize(argv[i]->h);
          break;
        case LO_DOUBLE:
          benchmark::DoNotOptimize(argv[i]->d);
          break;
        default:
          break;
      }
    }
    lo_message_free(m);
  }
}

void libloDecodeConsole(benchmark::State& state) {
  char buffer[1024];
  lo_message m = buildConsole();
  const std::size_t size = serialise(m, kConsoleAddress, buffer);
  lo_message_free(m);
  copyingDecode(state, buffer, size);
}

void libloDecodeMixed(benchmark::State& state) {
  char buffer[1024];
  lo_blob blob = lo_blob_new(static_cast<int32_t>(kMixedBlob.size()), kMixedBlob.data());
  lo_message m = buildMixed(blob);
  const std::size_t size = serialise(m, kMixedAddress, buffer);
  lo_message_free(m);
  lo_blob_free(blob);
  copyingDecode(state, buffer, size);
}

BENCHMARK(libloEncodeConsole);
BENCHMARK(libloEncodeMixed);
BENCHMARK(libloDecodeConsole);
BENCHMARK(libloDecodeMixed);

}  // namespace
}  // namespace tempik::osc::bench
