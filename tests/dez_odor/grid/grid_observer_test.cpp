// Observer registration and the order of notifications, including observers
// that unregister themselves or others while they are being notified.

#include "dez_odor/grid/grid.h"

#include "support/grid/recording_observer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace mg;
using mg_test::NotificationLog;
using mg_test::RecordingObserver;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(GridObservers, CreationOldestFirstErasureNewestFirst)
{
    Grid grid;
    NotificationLog log;
    RecordingObserver obsA(log, "A");
    RecordingObserver obsB(log, "B");
    obsA.observe(grid);
    obsB.observe(grid);

    Vertex* v = *grid.create<RegularVertex>();
    grid.erase(v);

    EXPECT_THAT(log.lines(),
                ElementsAre("A vertex_created v0 parent -", "B vertex_created v0 parent -",
                            "B vertex_to_be_erased v0", "A vertex_to_be_erased v0"));
}

TEST(GridObservers, ObserverKindsSelectTheNotifications)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    NotificationLog log;
    RecordingObserver faces(log, "F");
    faces.observe(grid, OBSERVE_FACES);
    // registering again for the same kinds leaves one entry per list
    grid.register_observer(&faces, OBSERVE_FACES | OBSERVE_EDGES);
    grid.register_observer(&faces, OBSERVE_FACES);

    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Face* f = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    EXPECT_THAT(log.lines(),
                ElementsAre("F edge_created e0 parent -", "F edge_created e1 parent -",
                            "F edge_created e2 parent -", "F face_created f0 parent -"));

    log.clear();
    grid.unregister_observer(&faces);
    grid.erase(f);
    EXPECT_THAT(log.lines(), IsEmpty());
}

TEST(GridObservers, DestructionTellsGridObserversNewestFirstAndForgetsAll)
{
    NotificationLog log;
    RecordingObserver obsA(log, "A");
    RecordingObserver obsB(log, "B");
    RecordingObserver obsC(log, "C");
    {
        Grid grid;
        obsA.observe(grid);
        grid.register_observer(&obsB, OBSERVE_VERTICES);  // not a grid observer
        obsC.observe(grid);
        grid.create<RegularVertex>();
        log.clear();
    }
    // Every observer is unregistered before the elements go, so nobody hears
    // of the erasures.
    EXPECT_THAT(log.lines(), ElementsAre("C grid_to_be_destroyed", "A grid_to_be_destroyed"));
    EXPECT_EQ(obsA.grid(), nullptr);
    EXPECT_EQ(obsC.grid(), nullptr);
}

TEST(GridObservers, NotifyAndClearSkipsTheExceptedObserver)
{
    Grid grid;
    NotificationLog log;
    RecordingObserver obsA(log, "A");
    RecordingObserver obsB(log, "B");
    obsA.observe(grid);
    obsB.observe(grid);
    grid.notify_and_clear_observers(&obsB);
    EXPECT_THAT(log.lines(), ElementsAre("A grid_to_be_destroyed"));

    log.clear();
    grid.create<RegularVertex>();
    EXPECT_THAT(log.lines(), IsEmpty());
}

// Removes another observer from the grid when it hears of a new vertex, and
// deletes it.
class Remover : public GridObserver {
public:
    Remover(Grid& g, std::unique_ptr<RecordingObserver>& victim) : grid(g), victim(victim) {}
    void vertex_created(Grid*, Vertex*, GridObject*, bool) override
    {
        victim.reset();  // its destructor unregisters it
    }
    void vertex_to_be_erased(Grid*, Vertex*, Vertex*) override { grid.unregister_observer(this); }

    Grid& grid;
    std::unique_ptr<RecordingObserver>& victim;
};

TEST(GridObservers, ObserversMayLeaveWhileTheGridNotifies)
{
    Grid grid;
    NotificationLog log;
    RecordingObserver first(log, "first");
    first.observe(grid);
    auto victim = std::make_unique<RecordingObserver>(log, "victim");
    Remover remover(grid, victim);
    grid.register_observer(&remover, OBSERVE_ALL);
    victim->observe(grid);
    RecordingObserver last(log, "last");
    last.observe(grid);

    Vertex* v = *grid.create<RegularVertex>();
    EXPECT_THAT(log.lines(),
                ElementsAre("first vertex_created v0 parent -", "last vertex_created v0 parent -"));
    EXPECT_EQ(victim, nullptr);

    // the remover unregisters itself on erasure; the others still hear of it
    log.clear();
    grid.erase(v);
    EXPECT_THAT(log.lines(),
                ElementsAre("last vertex_to_be_erased v0", "first vertex_to_be_erased v0"));
    log.clear();
    grid.erase(*grid.create<RegularVertex>());
    EXPECT_EQ(log.lines().size(), 4u);
}

TEST(GridObservers, GridDestroyedBeforeItsObserversLeavesThemClean)
{
    // Like a selector and a subset handler that outlive their grid: each
    // unregisters itself while the grid announces its destruction.
    NotificationLog log;
    auto grid = std::make_unique<Grid>(GRIDOPT_LEVEL_MESH);
    RecordingObserver selectorLike(log, "S");
    RecordingObserver handlerLike(log, "H");
    selectorLike.observe(*grid);
    handlerLike.observe(*grid);
    Vertex* a = *grid->create<RegularVertex>();
    Vertex* b = *grid->create<RegularVertex>();
    Vertex* c = *grid->create<RegularVertex>();
    grid->create<Triangle>(TriangleDescriptor(a, b, c));
    log.clear();

    grid.reset();
    EXPECT_THAT(log.lines(), ElementsAre("H grid_to_be_destroyed", "S grid_to_be_destroyed"));
    EXPECT_EQ(selectorLike.grid(), nullptr);
    EXPECT_EQ(handlerLike.grid(), nullptr);
}

}  // namespace
