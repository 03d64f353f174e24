// Extraction of an application image of about 8 MB made of real Windows
// code, against zlib's own inflate and our SHA-256 on the same bytes.
// Prints figures; it is not a test and asserts nothing.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "payload/image_inflate.h"
#include "payload/sha256.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t IMAGE_SIZE = 7'969'280;

// Wine's own PE DLLs, in name order, cut at the image size.
Bytes windows_code_image() {
    const char* configured = std::getenv("KORAVALE_BENCH_DLL_DIR");
    const std::filesystem::path dir = configured ? configured : "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
    std::vector<std::filesystem::path> dlls;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() == ".dll") dlls.push_back(entry.path());
    }
    std::sort(dlls.begin(), dlls.end());
    Bytes image;
    for (const auto& dll : dlls) {
        std::ifstream in(dll, std::ios::binary);
        image.insert(image.end(), std::istreambuf_iterator<char>(in), {});
        if (image.size() >= IMAGE_SIZE) break;
    }
    if (image.size() < IMAGE_SIZE) {
        std::fprintf(stderr, "not enough PE code under %s\n", dir.c_str());
        std::exit(1);
    }
    image.resize(IMAGE_SIZE);
    return image;
}

Bytes zlib_stream(const Bytes& image) {
    uLongf length = compressBound(image.size());
    Bytes stream(length);
    if (compress2(stream.data(), &length, image.data(), image.size(), 9) != Z_OK) std::exit(1);
    stream.resize(length);
    return stream;
}

struct Payload {
    Bytes image = windows_code_image();
    Bytes stream = zlib_stream(image);
    std::string digest = koravale::sha256_hex(image);
};

const Payload& payload() {
    static const Payload built;
    return built;
}

long status_kib(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
    }
    return -1;
}

// Resident memory added by one extraction at its peak, the result still alive.
long peak_of_one_extraction() {
    const long before = status_kib("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // restart the high-water mark
    const auto image = koravale::extract_image(payload().stream, payload().image.size(), payload().digest);
    if (!image) std::exit(1);
    return (status_kib("VmHWM:") - before) * 1024;
}

void extract(benchmark::State& state) {
    for (auto _ : state) {
        auto image = koravale::extract_image(payload().stream, payload().image.size(), payload().digest);
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(state.iterations() * payload().image.size());
}

// Into a new buffer each time, as any caller needs one, like the extraction.
void zlib_uncompress(benchmark::State& state) {
    for (auto _ : state) {
        uLongf length = payload().image.size();
        const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[length]);
        benchmark::DoNotOptimize(uncompress(out.get(), &length, payload().stream.data(), payload().stream.size()));
    }
    state.SetBytesProcessed(state.iterations() * payload().image.size());
}

void sha256(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(koravale::sha256_hex(payload().image));
    state.SetBytesProcessed(state.iterations() * payload().image.size());
}

void sha256_portable(benchmark::State& state) {
    for (auto _ : state) {
        koravale::Sha256 hash(koravale::sha256_blocks_portable);
        hash.update(payload().image);
        benchmark::DoNotOptimize(hash.finish());
    }
    state.SetBytesProcessed(state.iterations() * payload().image.size());
}

BENCHMARK(extract)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(zlib_uncompress)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(sha256)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(sha256_portable)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps each benchmark's mean time per run for the summary lines.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) seconds_[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e3;
    }
    // Zero when the benchmark did not run (filtered out).
    double seconds(const std::string& name) const {
        const auto found = seconds_.find(name + "/min_time:1.000");
        return found == seconds_.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    // Big buffers in their own mappings: every run starts on fresh memory, as
    // the setup program's one extraction does, and resident memory follows
    // what is live. (glibc would otherwise recycle warm heap pages.)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const Payload& built = payload();
    const long peak = peak_of_one_extraction();
    const long limit = 2 * static_cast<long>(built.image.size()) + (1 << 20);

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double extract_s = reporter.seconds("extract");
    const double uncompress_s = reporter.seconds("zlib_uncompress");
    const double sha_s = reporter.seconds("sha256");
    std::printf("image: %zu bytes, zlib stream: %zu bytes, sha256 engine: %s\n", built.image.size(),
                built.stream.size(), koravale::sha256_blocks_accelerated() ? "x86 SHA extensions" : "portable");
    std::printf("extract peak memory: %ld bytes (budget %ld)\n", peak, limit);
    if (sha_s > 0) std::printf("sha256 MB/s: %.0f\n", built.image.size() / sha_s / 1e6);
    if (extract_s > 0 && uncompress_s > 0 && sha_s > 0) {
        std::printf("extract ratio: %.2f\n", extract_s / (uncompress_s + sha_s));
    }
    benchmark::Shutdown();
    return 0;
}
