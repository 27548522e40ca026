#include "engine/core/smart_ptr.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

struct Base {
    virtual ~Base() = default;
};

struct Derived : Base {
    explicit Derived(int* deaths) : deaths(deaths) {}
    ~Derived() override { ++*deaths; }
    int* deaths;
};

TEST(SmartPtr, NullHandleHasNoCount) {
    vo::SmartPtr<Base> p;
    EXPECT_EQ(p.use_count(), 0);
    vo::SmartPtr<Base> q(static_cast<Base*>(nullptr));
    EXPECT_EQ(q.use_count(), 0);
    EXPECT_FALSE(q);
}

TEST(SmartPtr, LastReleaseDeletesThroughVirtualDestructor) {
    int deaths = 0;
    {
        vo::SmartPtr<Derived> d(new Derived(&deaths));
        vo::SmartPtr<Base> b = d;  // derived-to-base shares the count
        EXPECT_EQ(d.use_count(), 2);
        EXPECT_EQ(b.use_count(), 2);
        d.reset();
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(b.use_count(), 1);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(SmartPtr, AssignmentAndCastsShareOneCount) {
    int deaths = 0;
    vo::SmartPtr<Base> b(new Derived(&deaths));
    vo::SmartPtr<Base> c;
    c = b;
    c = c;  // self-assignment keeps the object
    EXPECT_EQ(b.use_count(), 2);
    vo::SmartPtr<Derived> d = b.dynamic_cast_to<Derived>();
    ASSERT_TRUE(d);
    EXPECT_EQ(b.use_count(), 3);
    vo::ConstSmartPtr<Base> k = d;
    EXPECT_EQ(k.use_count(), 4);
    b = nullptr;
    c = nullptr;
    d = nullptr;
    EXPECT_EQ(deaths, 0);
    k = nullptr;
    EXPECT_EQ(deaths, 1);
}

struct Unrelated {
    virtual ~Unrelated() = default;
};

// Overloads on handles of unrelated classes stay unambiguous: a handle
// converts only where its pointer would.
const char* Pick(const vo::SmartPtr<Base>&) { return "base"; }
const char* Pick(const vo::SmartPtr<Unrelated>&) { return "unrelated"; }

static_assert(std::is_constructible<vo::SmartPtr<Base>, vo::SmartPtr<Derived>>::value, "derived to base");
static_assert(std::is_constructible<vo::ConstSmartPtr<Base>, vo::SmartPtr<Derived>>::value, "to const");
static_assert(!std::is_constructible<vo::SmartPtr<Derived>, vo::SmartPtr<Base>>::value, "no base to derived");
static_assert(!std::is_constructible<vo::SmartPtr<Base>, vo::ConstSmartPtr<Base>>::value, "no const removal");
static_assert(!std::is_constructible<vo::SmartPtr<Base>, vo::SmartPtr<Unrelated>>::value, "no unrelated");

TEST(SmartPtr, ConvertsOnlyWhereThePointerConverts) {
    int deaths = 0;
    vo::SmartPtr<Derived> d(new Derived(&deaths));
    EXPECT_STREQ(Pick(d), "base");
    EXPECT_STREQ(Pick(vo::SmartPtr<Unrelated>(new Unrelated())), "unrelated");
    EXPECT_EQ(d.use_count(), 1);  // the temporary handle for Pick is gone
    EXPECT_TRUE(nullptr != d);
    EXPECT_FALSE(nullptr == d);
    d = nullptr;
    EXPECT_TRUE(nullptr == d);
    EXPECT_EQ(deaths, 1);
}

}  // namespace
