// Saving the level grid (7,987 vertices, 15,658 triangles) with its subset
// handler in the library's own formats, as ART/NET, OBJ and STL.

#include "dez_odor/file_io/art_writer.h"
#include "dez_odor/file_io/file_io_obj.h"
#include "dez_odor/file_io/grid_writer_mgx.h"
#include "dez_odor/file_io/lgb_writer.h"
#include "dez_odor/file_io/stl_writer.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/level_disc.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

using namespace mg;

struct SavedLevel {
    SavedLevel() : sh(&level.grid, SE_ALL)
    {
        int k = 0;
        for (auto it = level.grid.begin<Face>(); it != level.grid.end<Face>(); ++it)
            sh.assign_subset(*it, (k++ / 500) % 4);
        for (mg::Vertex* v : level.disc.rings.back())
            sh.assign_subset(v, 4);
    }
    mg_test::LevelDiscGrid level;
    GridSubsetHandler sh;
};

SavedLevel& Level()
{
    static SavedLevel saved;
    return saved;
}

std::string TempFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + name)).string();
}

void BM_WriteLevelMGX(benchmark::State& state)
{
    SavedLevel& s = Level();
    size_t bytes = 0;
    for (auto _ : state) {
        auto writer = std::make_unique<GridWriterMGX>();
        writer->add_grid(s.level.grid, "defGrid", aPosition);
        writer->add_subset_handler(s.sh, "defSH", 0);
        std::ostringstream out;
        writer->write_to_stream(out);
        bytes = out.str().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteLevelMGX)->Unit(benchmark::kMillisecond);

// Saves the level into a temporary file with save(level, file name) in
// every iteration; reports the file's size.
template <class Save>
void SaveLevelToFile(benchmark::State& state, const char* name, Save save)
{
    SavedLevel& s = Level();
    const std::string file = TempFile(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(save(s, file.c_str()));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}

void BM_WriteLevelLGB(benchmark::State& state)
{
    SaveLevelToFile(state, "qv_bench_level.lgb", [](SavedLevel& s, const char* file) {
        ISubsetHandler* handlers[] = {&s.sh};
        return SaveGridToLGB(s.level.grid, file, handlers, 1, aPosition);
    });
}
BENCHMARK(BM_WriteLevelLGB)->Unit(benchmark::kMillisecond);

// The level's options lack volume face generation: ART writes from a copy.
void BM_WriteLevelART(benchmark::State& state)
{
    SaveLevelToFile(state, "qv_bench_level.art", [](SavedLevel& s, const char* file) {
        return SaveGridToART(s.level.grid, file, &s.sh, aPosition);
    });
}
BENCHMARK(BM_WriteLevelART)->Unit(benchmark::kMillisecond);

void BM_WriteLevelOBJ(benchmark::State& state)
{
    SaveLevelToFile(state, "qv_bench_level.obj", [](SavedLevel& s, const char* file) {
        return SaveGridToOBJ(s.level.grid, file, aPosition, nullptr, &s.sh);
    });
}
BENCHMARK(BM_WriteLevelOBJ)->Unit(benchmark::kMillisecond);

void BM_WriteLevelSTL(benchmark::State& state)
{
    SaveLevelToFile(state, "qv_bench_level.stl", [](SavedLevel& s, const char* file) {
        return SaveGridToSTL(s.level.grid, file, &s.sh, aPosition);
    });
}
BENCHMARK(BM_WriteLevelSTL)->Unit(benchmark::kMillisecond);

}  // namespace
