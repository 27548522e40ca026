#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/attachment_pipe.h"
#include "dez_odor/grid/element_storage.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid_objects/grid_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using mg::Vertex;
using VertexPipe = mg::ElementStorage<Vertex>::pipe_type;
using EdgeVector = std::vector<mg::Edge*>;

// Free-standing vertices registered with a pipe of their own.
class PipeTest : public ::testing::Test {
protected:
    Vertex* add()
    {
        m_vertices.push_back(std::make_unique<mg::RegularVertex>());
        pipe.register_element(m_vertices.back().get());
        return m_vertices.back().get();
    }

    VertexPipe pipe;
    std::vector<std::unique_ptr<mg::RegularVertex>> m_vertices;
};

TEST_F(PipeTest, ContainersGrowByDoublingAsElementsArrive)
{
    mg::Attachment<int> a;
    pipe.attach(a, false);
    auto* c = pipe.get_data_container(a);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->size(), 0u);

    const size_t expected[] = {1, 2, 4, 4, 8};
    for (uint32_t i = 0; i < 5; ++i) {
        Vertex* v = add();
        EXPECT_EQ(v->data_index(), i);
        EXPECT_EQ(pipe.num_data_entries(), i + 1);
        EXPECT_EQ(pipe.container_size(), expected[i]);
        EXPECT_EQ(c->size(), expected[i]);
    }
    EXPECT_EQ(pipe.num_elements(), 5u);
}

TEST_F(PipeTest, FreedIndicesAreReusedLastInFirstOutWithResetValues)
{
    mg::Attachment<int> aMark;
    mg::Attachment<float> aValue;
    mg::Attachment<EdgeVector> aEdges;
    pipe.attach(aMark, 7, false);
    pipe.attach(aValue, false);
    pipe.attach(aEdges, false);
    mg::AttachmentAccessor<Vertex, int> mark(pipe, aMark);
    mg::AttachmentAccessor<Vertex, float> value(pipe, aValue);
    mg::AttachmentAccessor<Vertex, EdgeVector> edges(pipe, aEdges);

    std::vector<Vertex*> v;
    for (int i = 0; i < 4; ++i) {
        v.push_back(add());
        EXPECT_EQ(mark[v.back()], 7);  // the default on growth
        mark[v.back()] = 100 + i;
        value[v.back()] = 0.5f + i;
        edges[v.back()].assign(50, nullptr);
    }

    pipe.unregister_element(v[1]);
    pipe.unregister_element(v[3]);
    EXPECT_EQ(pipe.num_elements(), 2u);
    EXPECT_EQ(mark[v[3]], 103);  // values stay until the index is reused

    Vertex* first = add();
    Vertex* second = add();
    EXPECT_EQ(first->data_index(), 3u);
    EXPECT_EQ(second->data_index(), 1u);
    EXPECT_EQ(pipe.num_data_entries(), 4u);
    EXPECT_EQ(pipe.container_size(), 4u);
    for (Vertex* reused : {first, second}) {
        EXPECT_EQ(mark[reused], 7);
        EXPECT_EQ(value[reused], 0.0f);
        EXPECT_TRUE(edges[reused].empty());
        EXPECT_EQ(edges[reused].capacity(), 0u);  // memory released
    }
    EXPECT_EQ(mark[v[0]], 100);
    EXPECT_EQ(value[v[2]], 2.5f);

    Vertex* fresh = add();
    EXPECT_EQ(fresh->data_index(), 4u);
    EXPECT_EQ(pipe.container_size(), 8u);
}

TEST_F(PipeTest, LateAttachmentsGetValuesForEveryElementAtOnce)
{
    std::vector<Vertex*> v;
    for (int i = 0; i < 5; ++i)
        v.push_back(add());

    mg::Attachment<int> aInt;
    pipe.attach(aInt, 0, true);
    auto* c = pipe.get_data_container(aInt);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->size(), pipe.container_size());
    EXPECT_EQ(c->size(), 8u);
    (*c)[v[4]->data_index()] = 9;

    pipe.attach(aInt, 5, false);  // already attached: nothing changes
    pipe.attach(aInt, false);
    EXPECT_EQ(pipe.num_attachments(), 1u);
    EXPECT_EQ(pipe.get_data_container(aInt), c);
    EXPECT_EQ((*c)[v[4]->data_index()], 9);
    EXPECT_TRUE(pipe.attachments_begin()->passOn);

    mg::Attachment<mg::MathVector<3, float>> aPos;
    pipe.attach(aPos, false);
    mg::AttachmentAccessor<Vertex, mg::MathVector<3, float>> pos(pipe, aPos);
    for (Vertex* vrt : v)
        EXPECT_EQ(pos[vrt], mg::MathVector<3>(0, 0, 0));
}

TEST_F(PipeTest, AccessorsBindOnlyToAttachedAttachments)
{
    Vertex* v = add();
    mg::Attachment<float> attached;
    mg::Attachment<float> other;
    pipe.attach(attached, false);

    mg::AttachmentAccessor<Vertex, float> unbound(pipe, other);
    EXPECT_FALSE(unbound.valid());

    mg::AttachmentAccessor<Vertex, float> aa;
    EXPECT_TRUE(aa.bind(pipe, attached));
    aa[v] = 3.5f;
    EXPECT_FALSE(aa.bind(pipe, other));
    EXPECT_TRUE(aa.valid());  // unchanged by the failed bind
    EXPECT_EQ(aa[v], 3.5f);
    EXPECT_EQ(aa.container(), pipe.get_data_container(attached));

    mg::ElementStorage<Vertex> storage;
    storage.pipe().attach(attached, false);
    mg::AttachmentAccessor<Vertex, float> fromStorage(storage.pipe(), attached);
    EXPECT_EQ(fromStorage.element_handler(), &storage);
}

TEST_F(PipeTest, DetachingByIdDestroysTheValues)
{
    mg::Attachment<int> a;
    pipe.attach(a, false);
    add();
    const mg::Attachment<int> sameId(a);  // a copy names the same data
    EXPECT_EQ(sameId.id(), a.id());
    EXPECT_TRUE(pipe.has_attachment(sameId));
    pipe.detach(sameId);
    EXPECT_FALSE(pipe.has_attachment(a));
    EXPECT_EQ(pipe.get_data_container(a), nullptr);
    pipe.detach(a);  // not attached: nothing happens
    EXPECT_EQ(pipe.num_attachments(), 0u);
}

TEST_F(PipeTest, LookupByIdStaysRightAcrossManyAttachments)
{
    // More attachments than buckets, so chains collide.
    std::vector<std::unique_ptr<mg::Attachment<int>>> attachments;
    for (int i = 0; i < 40; ++i) {
        attachments.push_back(std::make_unique<mg::Attachment<int>>());
        pipe.attach(*attachments.back(), i, false);
    }
    Vertex* v = add();
    for (int i = 0; i < 40; i += 3)
        pipe.detach(*attachments[i]);
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        auto* c = pipe.get_data_container(*attachments[i]);
        if (i % 3 == 0) {
            EXPECT_EQ(c, nullptr);
        } else {
            ASSERT_NE(c, nullptr);
            EXPECT_EQ((*c)[v->data_index()], i);
        }
    }
    EXPECT_EQ(pipe.num_attachments(), 26u);
}

TEST(AttachmentTest, IdsNamesAndClones)
{
    mg::Attachment<int> a("counter", true);
    mg::Attachment<int> b;
    EXPECT_GT(b.id(), a.id());
    EXPECT_STREQ(b.name(), "undefined");
    EXPECT_FALSE(b.default_pass_on_behaviour());

    std::unique_ptr<mg::IAttachment> clone(a.clone());
    EXPECT_EQ(clone->id(), a.id());
    EXPECT_STREQ(clone->name(), "counter");
    EXPECT_TRUE(clone->default_pass_on_behaviour());
    mg::Attachment<int> c;
    EXPECT_EQ(c.id(), b.id() + 1);  // the clone took no id

    // The pipe works with its clone; the original's id finds its container.
    VertexPipe pipe;
    pipe.attach(*clone, false);
    EXPECT_TRUE(pipe.has_attachment(a));
    EXPECT_NE(pipe.get_data_container(a), nullptr);
}

TEST(AttachmentTest, GlobalAttachments)
{
    EXPECT_STREQ(mg::aPosition.name(), "position");
    EXPECT_STREQ(mg::aPosition2.name(), "position2");
    EXPECT_STREQ(mg::aPosition1.name(), "position2");
    EXPECT_STREQ(mg::aNormal.name(), "normal");
    EXPECT_STREQ(mg::aGlobalID.name(), "globalID");
    EXPECT_TRUE(mg::aPosition.default_pass_on_behaviour());
    EXPECT_TRUE(mg::aPosition1.default_pass_on_behaviour());
    EXPECT_TRUE(mg::aNormal.default_pass_on_behaviour());
    EXPECT_FALSE(mg::aGlobalID.default_pass_on_behaviour());

    // Same name, different ids, different containers.
    VertexPipe pipe;
    pipe.attach(mg::aPosition1, true);
    pipe.attach(mg::aPosition2, true);
    EXPECT_NE(mg::aPosition1.id(), mg::aPosition2.id());
    EXPECT_NE(static_cast<void*>(pipe.get_data_container(mg::aPosition1)),
              static_cast<void*>(pipe.get_data_container(mg::aPosition2)));
    EXPECT_EQ(pipe.num_attachments(), 2u);
}

TEST(AttachmentContainerTest, CopyToContainerFollowsTheIndexMapWithinBounds)
{
    mg::AttachmentDataContainer<int> src;
    src.resize(4);
    for (int i = 0; i < 4; ++i)
        src[i] = 10 * (i + 1);

    mg::AttachmentDataContainer<int> dest;
    dest.resize(4);
    const uint32_t map[] = {3, 0xFFFFFFFF, 0, 17, 1};  // unused and out-of-range entries are skipped
    src.copy_to_container(&dest, map, 5);
    EXPECT_EQ(dest[0], 40);
    EXPECT_EQ(dest[1], 0);
    EXPECT_EQ(dest[2], 10);
    EXPECT_EQ(dest[3], 0);
    EXPECT_EQ(dest.size(), 4u);

    mg::AttachmentDataContainer<float> otherType;
    otherType.resize(4);
    src.copy_to_container(&otherType, map, 4);
    EXPECT_EQ(otherType[0], 0.0f);

    mg::AttachmentDataContainer<int> untouched;
    untouched.resize(1);
    src.copy_to_container(&untouched, map, 0);
    EXPECT_EQ(untouched[0], 0);
}

TEST(AttachmentContainerTest, ResizeDefragmentAndMemory)
{
    mg::AttachmentDataContainer<double> c(1.5);
    c.resize(6);
    EXPECT_EQ(c[5], 1.5);
    EXPECT_EQ(c.occupied_memory(), 6 * sizeof(double));
    c.resize(0);
    EXPECT_EQ(c.size(), 0u);
    EXPECT_EQ(c.occupied_memory(), 6 * sizeof(double));  // capacity kept

    c.resize(4);
    for (int i = 0; i < 4; ++i)
        c[i] = i;
    c.copy_data(3, 0);
    EXPECT_EQ(c[0], 3.0);
    const uint32_t newIndices[] = {0xFFFFFFFF, 1, 0xFFFFFFFF, 0};
    c.defragment(newIndices, 2);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], 3.0);
    EXPECT_EQ(c[1], 1.0);

    mg::AttachmentDataContainer<EdgeVector> vectors;
    vectors.resize(3);
    vectors[0].assign(100, nullptr);
    EXPECT_EQ(vectors.occupied_memory(), 3 * sizeof(EdgeVector));  // headers only
    vectors.reset_entry(0);
    EXPECT_EQ(vectors[0].capacity(), 0u);
}

TEST(CopyAttachmentValuesTest, CopiesPassOnAttachmentsOnly)
{
    mg::Attachment<float> aPassed("passed", true);
    mg::Attachment<int> aKept("kept", false);
    VertexPipe src;
    src.attach(aPassed, true);
    src.attach(aKept, false);
    std::vector<std::unique_ptr<mg::RegularVertex>> srcV, destV;
    for (int i = 0; i < 3; ++i) {
        srcV.push_back(std::make_unique<mg::RegularVertex>());
        src.register_element(srcV.back().get());
    }
    mg::AttachmentAccessor<Vertex, float> srcVal(src, aPassed);
    for (int i = 0; i < 3; ++i)
        srcVal[srcV[i].get()] = 1.25f * (i + 1);

    VertexPipe dest;
    std::vector<uint32_t> indexMap;  // dest row -> src row
    for (int i = 2; i >= 0; --i) {
        destV.push_back(std::make_unique<mg::RegularVertex>());
        dest.register_element(destV.back().get());
        indexMap.push_back(srcV[i]->data_index());
    }
    mg::CopyAttachmentValues(src, dest, indexMap);

    EXPECT_TRUE(dest.has_attachment(aPassed));
    EXPECT_FALSE(dest.has_attachment(aKept));
    EXPECT_TRUE(dest.attachments_begin()->passOn);
    mg::AttachmentAccessor<Vertex, float> destVal(dest, aPassed);
    EXPECT_EQ(destVal[destV[0].get()], 3.75f);
    EXPECT_EQ(destVal[destV[1].get()], 2.5f);
    EXPECT_EQ(destVal[destV[2].get()], 1.25f);

    // A source without elements copies nothing and reads nothing.
    VertexPipe empty;
    empty.attach(aPassed, true);
    VertexPipe target;
    target.register_element(destV[0].get());
    mg::CopyAttachmentValues(empty, target, std::vector<uint32_t>{0});
    EXPECT_TRUE(target.has_attachment(aPassed));
}

}  // namespace
