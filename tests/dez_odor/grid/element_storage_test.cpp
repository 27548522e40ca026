#include "dez_odor/grid/element_collection.h"
#include "dez_odor/grid/element_storage.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "support/grid/section_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

using mg::Face;
using mg::Vertex;
using mg_test::SectionsMatch;

// Random inserts into sections 0..3 and erasures of random elements, checked
// against a reference list per section after every step. An int attachment
// carries a serial number per element, so that values must follow their
// elements through index reuse.
TEST(ElementStorageModelTest, RandomInsertsAndErasuresMatchAReference)
{
    std::mt19937 rng(7041);
    mg::ElementStorage<Vertex> storage;
    mg::Attachment<int> aSerial;
    storage.pipe().attach(aSerial, -1, false);
    mg::AttachmentAccessor<Vertex, int> serial(storage.pipe(), aSerial);
    auto& sections = storage.section_container();

    std::vector<std::vector<Vertex*>> model;
    std::vector<std::unique_ptr<mg::RegularVertex>> owned;
    std::vector<std::pair<Vertex*, int>> live;  // element, section
    int nextSerial = 0;

    for (int step = 0; step < 4000; ++step) {
        const bool insert = live.empty() || (rng() % 100) < (step < 2000 ? 60u : 40u);
        if (insert) {
            const int s = static_cast<int>(rng() % 4);
            owned.push_back(std::make_unique<mg::RegularVertex>());
            Vertex* v = owned.back().get();
            storage.pipe().register_element(v);
            EXPECT_EQ(serial[v], -1);  // fresh or reset row
            serial[v] = nextSerial++;
            auto it = sections.insert(v, s);
            ASSERT_EQ(it.element(), v);
            if (model.size() <= static_cast<size_t>(s))
                model.resize(s + 1);
            model[s].push_back(v);
            live.emplace_back(v, s);
        } else {
            const size_t k = rng() % live.size();
            const auto [v, s] = live[k];
            live[k] = live.back();
            live.pop_back();
            sections.erase(sections.get_iterator(v), s);
            storage.pipe().unregister_element(v);
            auto& sec = model[s];
            sec.erase(std::find(sec.begin(), sec.end(), v));
            EXPECT_FALSE(sections.get_container().is_in_list(v));
        }

        ASSERT_TRUE(SectionsMatch(sections, model)) << "step " << step;
        ASSERT_EQ(storage.pipe().num_elements(), live.size());
        ASSERT_GE(storage.pipe().container_size(), storage.pipe().num_data_entries());
    }

    // Every live element kept its own row and value.
    std::set<uint32_t> rows;
    std::set<int> serials;
    for (const auto& entry : live) {
        rows.insert(entry.first->data_index());
        serials.insert(serial[entry.first]);
    }
    EXPECT_EQ(rows.size(), live.size());
    EXPECT_EQ(serials.size(), live.size());
    EXPECT_FALSE(serials.count(-1));
}

class FaceStorageTest : public ::testing::Test {
protected:
    template <class TFace>
    Face* add()
    {
        m_faces.push_back(std::make_unique<TFace>());
        storage.insert(m_faces.back().get());
        return m_faces.back().get();
    }
    std::vector<std::vector<Face*>> model(std::vector<Face*> tris, std::vector<Face*> quads)
    {
        return {tris, quads};
    }

    std::vector<std::unique_ptr<Face>> m_faces;
    mg::ElementStorage<Face> storage;
};

TEST_F(FaceStorageTest, QuadrilateralsFollowTrianglesInTheirOwnSection)
{
    // No quadrilateral yet: its range is empty at the list's end.
    EXPECT_EQ(storage.begin<mg::Quadrilateral>(), storage.end<mg::Quadrilateral>());
    EXPECT_EQ(storage.begin<mg::Triangle>(), storage.end<mg::Triangle>());
    Face* t0 = add<mg::Triangle>();
    Face* t1 = add<mg::Triangle>();
    EXPECT_EQ(storage.section_container().num_sections(), 1);
    EXPECT_EQ(storage.begin<mg::Quadrilateral>(), storage.end<mg::Quadrilateral>());
    EXPECT_EQ(storage.begin<mg::Quadrilateral>().element(), nullptr);

    Face* q0 = add<mg::Quadrilateral>();
    EXPECT_EQ(storage.section_container().num_sections(), 2);
    EXPECT_EQ(*storage.begin<mg::Quadrilateral>(), q0);
    EXPECT_EQ(storage.end<mg::Triangle>(), storage.begin<mg::Quadrilateral>());

    // A later triangle goes before the first quadrilateral.
    Face* t2 = add<mg::Triangle>();
    Face* q1 = add<mg::Quadrilateral>();
    EXPECT_TRUE(SectionsMatch(storage.section_container(), model({t0, t1, t2}, {q0, q1})));
    std::vector<mg::Triangle*> tris(storage.begin<mg::Triangle>(), storage.end<mg::Triangle>());
    EXPECT_EQ(tris, (std::vector<mg::Triangle*>{static_cast<mg::Triangle*>(t0),
                                                 static_cast<mg::Triangle*>(t1),
                                                 static_cast<mg::Triangle*>(t2)}));
    std::vector<Face*> all(storage.begin<Face>(), storage.end<Face>());
    EXPECT_EQ(all, (std::vector<Face*>{t0, t1, t2, q0, q1}));
    EXPECT_EQ(storage.num<mg::Triangle>(), 3u);
    EXPECT_EQ(storage.num<mg::Quadrilateral>(), 2u);
    EXPECT_EQ(storage.num<Face>(), 5u);

    // Erasing the first quadrilateral moves section 1's begin and section 0's end.
    storage.erase(q0);
    EXPECT_EQ(*storage.begin<mg::Quadrilateral>(), q1);
    EXPECT_EQ(storage.end<mg::Triangle>().element(), q1);

    // Erasing every triangle leaves section 0 empty at the first quadrilateral.
    storage.erase(t1);
    storage.erase(t0);
    storage.erase(t2);
    EXPECT_EQ(storage.begin<mg::Triangle>(), storage.end<mg::Triangle>());
    EXPECT_EQ(storage.begin<mg::Triangle>().element(), q1);
    EXPECT_TRUE(SectionsMatch(storage.section_container(), model({}, {q1})));

    // And a new triangle opens it again in front.
    Face* t3 = add<mg::Triangle>();
    EXPECT_TRUE(SectionsMatch(storage.section_container(), model({t3}, {q1})));
    storage.erase(q1);
    EXPECT_TRUE(SectionsMatch(storage.section_container(), model({t3}, {})));
    EXPECT_EQ(storage.pipe().num_elements(), 1u);
}

TEST_F(FaceStorageTest, EmptySectionsNeverReferToErasedElements)
{
    // Sections 0 and 2 non-empty, 1 empty between them.
    auto& sc = storage.section_container();
    mg::Triangle a, b, c;
    storage.pipe().register_element(&a);
    storage.pipe().register_element(&b);
    storage.pipe().register_element(&c);
    sc.insert(&a, 0);
    sc.insert(&b, 2);
    sc.insert(&c, 2);
    EXPECT_TRUE(SectionsMatch(sc, {{&a}, {}, {&b, &c}}));
    sc.erase(sc.get_iterator(&b), 2);  // the empty section 1 sat at b
    EXPECT_EQ(sc.section_begin(1).element(), &c);
    EXPECT_TRUE(SectionsMatch(sc, {{&a}, {}, {&c}}));
    sc.erase(sc.get_iterator(&a), 0);
    sc.erase(sc.get_iterator(&c), 2);
    EXPECT_TRUE(SectionsMatch(sc, {{}, {}, {}}));
    sc.insert(&b, 1);
    EXPECT_TRUE(SectionsMatch(sc, {{}, {&b}, {}}));
    EXPECT_EQ(sc.section_begin(0).element(), &b);
    sc.clear();
    EXPECT_TRUE(SectionsMatch(sc, {{}, {}, {}}));
    EXPECT_FALSE(sc.get_container().is_in_list(&b));
}

TEST(SectionContainerTest, SectionsAreCreatedOnDemand)
{
    mg::ElementStorage<Vertex> storage;
    auto& sc = storage.section_container();
    mg::RegularVertex v;
    storage.pipe().register_element(&v);
    sc.insert(&v, 3);
    EXPECT_EQ(sc.num_sections(), 4);
    EXPECT_TRUE(SectionsMatch(sc, {{}, {}, {}, {&v}}));
    EXPECT_EQ(sc.num_elements(5), 0u);
    EXPECT_EQ(sc.num_elements(-1), 1u);
    EXPECT_EQ(sc.section_begin(-1).element(), &v);
    EXPECT_EQ(sc.section_begin(9), sc.end());
    EXPECT_EQ(sc.section_end(-1), sc.end());
}

TEST(AttachedElementListTest, InsertEraseClearAndRebinding)
{
    using List = mg::ElementStorage<Vertex>::list_type;
    mg::ElementStorage<Vertex> storage;  // its own list holds one entry attachment
    auto& pipe = storage.pipe();
    EXPECT_EQ(pipe.num_attachments(), 1u);
    mg::RegularVertex a, b, c, d;
    for (Vertex* v : {&a, &b, &c, &d})
        pipe.register_element(v);

    List list(&pipe);
    EXPECT_EQ(pipe.num_attachments(), 2u);
    EXPECT_FALSE(list.shares_entry_attachment());
    list.insert(list.end(), &a);
    list.insert(list.end(), &c);
    EXPECT_EQ(*list.insert(list.get_iterator(&c), &b), &b);
    list.insert(list.begin(), &d);
    EXPECT_EQ(std::vector<Vertex*>(list.begin(), list.end()), (std::vector<Vertex*>{&d, &a, &b, &c}));
    EXPECT_EQ(list.front(), &d);
    EXPECT_EQ(list.back(), &c);

    // A list with its own attachment is independent of the storage's list.
    storage.section_container().insert(&b, 0);
    EXPECT_EQ(*list.erase(list.get_iterator(&b)), &c);
    EXPECT_FALSE(list.is_in_list(&b));
    EXPECT_TRUE(storage.section_container().get_container().is_in_list(&b));
    EXPECT_EQ(list.erase(list.get_iterator(&c)), list.end());
    EXPECT_EQ(list.back(), &a);
    EXPECT_EQ(std::vector<Vertex*>(list.begin(), list.end()), (std::vector<Vertex*>{&d, &a}));

    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(list.is_in_list(&d));
    EXPECT_FALSE(list.is_in_list(&a));

    // Rebinding detaches the list's own attachment from the old pipe.
    mg::ElementStorage<Vertex> other;
    list.insert(list.end(), &a);
    list.set_pipe(&other.pipe());
    EXPECT_EQ(pipe.num_attachments(), 1u);
    EXPECT_EQ(other.pipe().num_attachments(), 2u);
    EXPECT_TRUE(list.empty());
    list.set_pipe(nullptr);
    EXPECT_EQ(other.pipe().num_attachments(), 1u);
}

TEST(AttachedElementListTest, ListsSharingAnEntryAttachmentNeverDetachIt)
{
    using List = mg::ElementStorage<Vertex>::list_type;
    mg::ElementStorage<Vertex> storage;
    auto& pipe = storage.pipe();
    List::EntryAttachment shared("shared entries", false);
    mg::RegularVertex a, b;
    pipe.register_element(&a);
    pipe.register_element(&b);
    {
        List first(shared, &pipe);
        List second(shared, &pipe);
        EXPECT_TRUE(first.shares_entry_attachment());
        EXPECT_EQ(pipe.num_attachments(), 2u);
        first.insert(first.end(), &a);
        second.insert(second.end(), &b);
        EXPECT_EQ(std::vector<Vertex*>(first.begin(), first.end()), std::vector<Vertex*>{&a});
        EXPECT_EQ(std::vector<Vertex*>(second.begin(), second.end()), std::vector<Vertex*>{&b});
        first.set_pipe(nullptr);
        second.set_pipe(nullptr);
        EXPECT_TRUE(pipe.has_attachment(shared));
    }
    pipe.detach(shared);  // the owner of the shared attachment detaches it
    EXPECT_EQ(pipe.num_attachments(), 1u);
}

TEST(ElementCollectionTest, IteratesTheContainersOfEachLevel)
{
    mg::ElementStorage<Vertex> vertices;
    mg::ElementStorage<mg::Edge> edges;
    mg::ElementStorage<Face> faces;
    mg::ElementStorage<mg::Volume> volumes;
    mg::RegularVertex v;
    mg::Triangle t;
    mg::Quadrilateral q1, q2;
    vertices.insert(&v);
    faces.insert(&q1);
    faces.insert(&t);
    faces.insert(&q2);

    const mg::ElementCollection grid(&vertices.section_container(), &edges.section_container(),
                                     &faces.section_container(), &volumes.section_container());
    mg::ElementCollection copy = grid;
    copy.add_level(nullptr, nullptr, &faces.section_container(), nullptr);
    EXPECT_EQ(copy.num_levels(), 2u);

    EXPECT_EQ(grid.num<mg::Quadrilateral>(), 2u);
    EXPECT_EQ(grid.num<mg::Triangle>(), 1u);
    EXPECT_EQ(grid.num<mg::RegularVertex>(), 1u);
    EXPECT_EQ(grid.num<mg::Edge>(), 0u);
    EXPECT_EQ(*grid.begin<mg::Triangle>(), &t);
    EXPECT_EQ(std::vector<mg::Quadrilateral*>(grid.begin<mg::Quadrilateral>(), grid.end<mg::Quadrilateral>()),
              (std::vector<mg::Quadrilateral*>{&q1, &q2}));
    EXPECT_EQ(*copy.begin<Vertex>(0), &v);
    EXPECT_EQ(copy.begin<Vertex>(1), copy.end<Vertex>(1));  // no vertex container on level 1
    EXPECT_EQ(copy.num<Vertex>(1), 0u);
    EXPECT_EQ(copy.num<Face>(1), 3u);
    EXPECT_EQ(copy.begin<mg::Volume>(5), copy.end<mg::Volume>(5));

    faces.erase(&t);
    faces.erase(&q1);
    faces.erase(&q2);
    vertices.erase(&v);
}

}  // namespace
