// The GIF encoder's speed: our LzwPack against giflib's EGifPutLine on the same index data
// (a chart-like picture and 256-colour noise), the whole encode of a chart from RGB, and the
// encoder's peak working memory.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "chart_picture.h"
#include "export/gif_encoder.h"
#include "export/lzw_pack.h"
#include "export/popularity_reduce.h"

// Heap accounting for the memory figures: every allocation through operator new carries its
// size in a 16-byte header.
namespace {
std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + 16);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::size_t live = gLive += size;
    std::size_t peak = gPeak;
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + 16;
}
void Release(void* pointer) noexcept {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - 16;
    gLive -= *static_cast<std::size_t*>(block);
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}

namespace orvix::bench {
namespace {

constexpr int kNoiseSide = 4096;

struct Pictures {
    TRgbImage chart = ChartPicture();
    std::vector<std::uint8_t> chartIndices = PopularityReduce(ChartPicture()).Indices;
    std::vector<std::uint8_t> noiseIndices = NoiseIndices(kNoiseSide, kNoiseSide);
};
const Pictures& Data() {
    static const Pictures pictures;
    return pictures;
}

void OurLzw(benchmark::State& state, bool noise) {
    const auto& indices = noise ? Data().noiseIndices : Data().chartIndices;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string coded = LzwPack(indices, 8);
        bytes = coded.size();
        benchmark::DoNotOptimize(coded.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(indices.size()));
    state.counters["coded_bytes"] = static_cast<double>(bytes);
}

int AppendToString(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

void GiflibLzw(benchmark::State& state, bool noise) {
    const auto& source = noise ? Data().noiseIndices : Data().chartIndices;
    const int width = noise ? kNoiseSide : Data().chart.Width;
    const int height = noise ? kNoiseSide : Data().chart.Height;
    std::vector<GifPixelType> indices(source.begin(), source.end());  // giflib wants non-const
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i) colors[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    std::string out;
    for (auto _ : state) {
        out.clear();
        int error = 0;
        GifFileType* gif = EGifOpen(&out, AppendToString, &error);
        bool ok = gif && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
                  EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < height; ++y)
            ok = EGifPutLine(gif, indices.data() + std::size_t(y) * width, width) == GIF_OK;
        if (gif) EGifCloseFile(gif, &error);
        if (!ok) state.SkipWithError("giflib failed");
        benchmark::DoNotOptimize(out.data());
    }
    GifFreeMapObject(map);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(indices.size()));
    state.counters["file_bytes"] = static_cast<double>(out.size());
}

void EncodeChart(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TRgbImage picture = Data().chart;
        state.ResumeTiming();
        const std::string file = EncodeGif(std::move(picture));
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}

// Peak heap of one whole encode beyond the picture handed in (whose buffer it reuses).
void EncoderMemory(benchmark::State& state, bool noise) {
    TRgbImage source = Data().chart;
    if (noise) {
        source = TRgbImage(kNoiseSide, kNoiseSide);
        const auto& indices = Data().noiseIndices;
        for (std::size_t k = 0; k < indices.size(); ++k) {
            const std::uint8_t i = indices[k];
            source.Pixels[3 * k] = i;
            source.Pixels[3 * k + 1] = static_cast<std::uint8_t>(i * 7);
            source.Pixels[3 * k + 2] = static_cast<std::uint8_t>(255 - i);
        }
    }
    const double pixels = double(source.Width) * source.Height;
    double extra = 0, file = 0;
    for (auto _ : state) {
        TRgbImage picture = source;
        const std::size_t before = gLive;
        gPeak = before;
        const std::string bytes = EncodeGif(std::move(picture));
        extra = double(gPeak - before);
        file = double(bytes.size());
    }
    state.counters["extra_bytes_per_pixel"] = extra / pixels;
    state.counters["file_bytes_per_pixel"] = file / pixels;
    state.counters["extra_bytes"] = extra;
}

BENCHMARK_CAPTURE(OurLzw, chart_1023x369, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GiflibLzw, chart_1023x369, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OurLzw, noise_4096x4096, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GiflibLzw, noise_4096x4096, true)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeChart)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EncoderMemory, chart_1023x369, false)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EncoderMemory, noise_4096x4096, true)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvix::bench

BENCHMARK_MAIN();
