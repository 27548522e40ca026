// Hot paths of the grid's element storage: reading attachment values through
// an accessor (compared with a plain vector) and registering and erasing
// elements in a sectioned list.

#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/element_storage.h"
#include "dez_odor/grid_objects/grid_objects.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kLevelVertices = 7987;  // vertices of the game's level grid

struct VertexStorageFixture {
    VertexStorageFixture()
    {
        storage.pipe().attach(aValue, false);
        value.bind(storage.pipe(), aValue);
        for (int i = 0; i < kLevelVertices; ++i) {
            vertices.push_back(std::make_unique<mg::RegularVertex>());
            storage.insert(vertices.back().get());
            value[vertices.back().get()] = static_cast<float>(i);
        }
    }
    mg::ElementStorage<mg::Vertex> storage;
    mg::Attachment<float> aValue;
    mg::AttachmentAccessor<mg::Vertex, float> value;
    std::vector<std::unique_ptr<mg::RegularVertex>> vertices;
};

void BM_AccessorReadLoop(benchmark::State& state)
{
    VertexStorageFixture f;
    std::vector<mg::Vertex*> elems;
    for (auto& v : f.vertices)
        elems.push_back(v.get());
    for (auto _ : state) {
        float sum = 0;
        for (mg::Vertex* v : elems)
            sum += f.value[v];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kLevelVertices);
}
BENCHMARK(BM_AccessorReadLoop);

// The same reads while walking the element list itself.
void BM_ListWalkWithAccessor(benchmark::State& state)
{
    VertexStorageFixture f;
    for (auto _ : state) {
        float sum = 0;
        for (auto it = f.storage.begin<mg::Vertex>(); it != f.storage.end<mg::Vertex>(); ++it)
            sum += f.value[*it];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kLevelVertices);
}
BENCHMARK(BM_ListWalkWithAccessor);

void BM_RawVectorReadLoop(benchmark::State& state)
{
    std::vector<float> values(kLevelVertices);
    for (int i = 0; i < kLevelVertices; ++i)
        values[i] = static_cast<float>(i);
    for (auto _ : state) {
        float sum = 0;
        for (float v : values)
            sum += v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kLevelVertices);
}
BENCHMARK(BM_RawVectorReadLoop);

void BM_InsertAndEraseFaces(benchmark::State& state)
{
    mg::ElementStorage<mg::Face> storage;
    std::vector<std::unique_ptr<mg::Face>> faces;
    for (int i = 0; i < 1024; ++i) {
        if (i % 8 == 7)
            faces.push_back(std::make_unique<mg::Quadrilateral>());
        else
            faces.push_back(std::make_unique<mg::Triangle>());
    }
    for (auto _ : state) {
        for (auto& f : faces)
            storage.insert(f.get());
        for (auto& f : faces)
            storage.erase(f.get());
    }
    state.SetItemsProcessed(state.iterations() * 2 * static_cast<int64_t>(faces.size()));
}
BENCHMARK(BM_InsertAndEraseFaces);

}  // namespace
