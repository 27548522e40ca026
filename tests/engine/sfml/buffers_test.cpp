// Vertex and index buffers in main memory: locking rules and sizes.

#include "engine/sfml/default_buffers.h"
#include "engine/sfml/sfml_engine.h"

#include <gtest/gtest.h>

#include <new>

namespace {

TEST(VertexBuffer, LockRules) {
    vo::SFML_Engine engine;
    vo::SmartPtr<vo::VertexBuffer> vb = engine.create_vertex_buffer();
    EXPECT_EQ(vb->num_vertices(), 0u);
    EXPECT_EQ(vb->format(), 0u);
    EXPECT_FALSE(vb->is_locked());
    vb->create(5, 36, 11);
    EXPECT_EQ(vb->num_vertices(), 5u);
    EXPECT_EQ(vb->vertex_size(), 36u);
    EXPECT_EQ(vb->format(), 11u);

    struct Case {
        unsigned first, count;
        bool fits;
    };
    const Case cases[] = {
        {2, 3, true},  {0, 5, true},  {5, 0, true},           {0, 0, true},
        {3, 3, false}, {6, 0, false}, {1, 0xFFFFFFFFu, false}, {0xFFFFFFFFu, 2, false},
    };
    for (Case const& c : cases) {
        void* p = &engine;  // anything but null: a refused lock leaves it alone
        EXPECT_EQ(vb->lock(&p, c.first, c.count), c.fits) << c.first << "+" << c.count;
        if (c.fits) {
            EXPECT_TRUE(vb->is_locked());
            void* q = nullptr;
            EXPECT_FALSE(vb->lock(&q, 0, 1)) << "second lock";
            EXPECT_EQ(q, nullptr);
            vb->unlock();
        } else {
            EXPECT_EQ(p, &engine);
            EXPECT_FALSE(vb->is_locked());
        }
    }

    // The pointer is the vertex's place in the storage.
    void* first = nullptr;
    void* third = nullptr;
    ASSERT_TRUE(vb->lock(&first, 0, 5));
    vb->unlock();
    ASSERT_TRUE(vb->lock(&third, 2, 1));
    vb->unlock();
    EXPECT_EQ(static_cast<char*>(third) - static_cast<char*>(first), 72);
}

TEST(VertexBuffer, CreateKeepsTheLockStateAndRefusesHugeSizes) {
    vo::SFML_Engine engine;
    vo::SmartPtr<vo::VertexBuffer> vb = engine.create_vertex_buffer();
    vb->create(4, 36, 11);
    void* p = nullptr;
    ASSERT_TRUE(vb->lock(&p, 0, 4));
    vb->create(8, 36, 11);
    EXPECT_TRUE(vb->is_locked());
    vb->unlock();
    EXPECT_THROW(vb->create(1u << 20, 1u << 12, 11), std::bad_alloc);
    EXPECT_THROW(vb->create(0xFFFFFFFFu, 0xFFFFFFFFu, 11), std::bad_alloc);
    EXPECT_EQ(vb->num_vertices(), 8u);  // unchanged by the failures
}

TEST(IndexBuffer, LockRulesAndLimit) {
    vo::SFML_Engine engine;
    vo::SmartPtr<vo::IndexBuffer> ib = engine.create_index_buffer();
    ib->create(6);
    EXPECT_EQ(ib->num_indices(), 6u);
    unsigned* p = nullptr;
    EXPECT_FALSE(ib->lock(&p, 4, 3));
    EXPECT_FALSE(ib->lock(&p, 2, 0xFFFFFFFEu));
    EXPECT_EQ(p, nullptr);
    ASSERT_TRUE(ib->lock(&p, 4, 2));
    EXPECT_TRUE(ib->is_locked());
    unsigned* q = nullptr;
    EXPECT_FALSE(ib->lock(&q, 0, 1));
    ib->unlock();
    EXPECT_FALSE(ib->is_locked());
    EXPECT_THROW(ib->create(1u << 30), std::bad_alloc);
    EXPECT_EQ(ib->num_indices(), 6u);
}

TEST(VertexFormat, SizesOfTheAttributes) {
    EXPECT_EQ(vo::VertexFormatSize(11), 36u);
    EXPECT_EQ(vo::VertexFormatSize(13), 32u);
    EXPECT_EQ(vo::VertexFormatSize(15), 48u);
    EXPECT_EQ(vo::VertexFormatSize(0), 0u);
}

}  // namespace
