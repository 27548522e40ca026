#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/core/object.h"
#include "engine/core/object_factory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using vo::crc32;
using vo::Error;
using vo::Object;
using vo::ObjectFactory;

// The message of the Error that fn throws; fails the test when it throws
// nothing.
template <class Fn>
std::string ErrorMessage(Fn fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.message();
    }
    ADD_FAILURE() << "no Error thrown";
    return "";
}

TEST(Crc32, StandardValues) {
    struct Case {
        const char* text;
        unsigned int crc;
    };
    const Case cases[] = {
        {"123456789", 0xCBF43926u},  // the CRC-32 check value
        {"", 0u},
        {"a", 0xE8B7BE43u},
        {"health", 0xCEDA2313u},
        {"explosionPeak", 0x480B2F04u},
        {"entityEntityCollision", 0x0823DCABu},
        {"entityWorldCollision", 0x4183F1FEu},
    };
    for (const Case& c : cases) EXPECT_EQ(crc32(c.text), c.crc) << c.text;
    EXPECT_EQ(crc32(nullptr), 0u);
}

TEST(Crc32, CallsAreIndependent) {
    const unsigned int first = crc32("123456789");
    crc32("something else entirely");
    crc32("a");
    EXPECT_EQ(crc32("123456789"), first);
}

TEST(Error, KeepsItsMessage) {
    EXPECT_STREQ(Error("something broke").message(), "something broke");
    EXPECT_STREQ(Error(std::string("from a string")).message(), "from a string");
    EXPECT_STREQ(Error(static_cast<const char*>(nullptr)).message(), "");
    const Error original("copied");
    const Error copy(original);
    EXPECT_STREQ(copy.message(), "copied");
}

// Classes registered by these tests; each test uses its own, because the
// factory lives for the whole process and never forgets a type.
template <int N>
class Probe : public Object {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID() {
        static const unsigned int id = crc32(TYPE_NAME());
        return id;
    }
    const char* object_type_name() const override { return TYPE_NAME(); }
    unsigned int object_type_id() const override { return TYPE_ID(); }
};
template <>
const char* Probe<1>::TYPE_NAME() { return "FactoryProbeOne"; }
template <>
const char* Probe<2>::TYPE_NAME() { return "FactoryProbeTwo"; }
template <>
const char* Probe<3>::TYPE_NAME() { return "FactoryProbeThree"; }

// Another class whose id collides with Probe<3>'s.
class ProbeClash : public Object {
public:
    static const char* TYPE_NAME() { return "FactoryProbeClash"; }
    static unsigned int TYPE_ID() { return Probe<3>::TYPE_ID(); }
    const char* object_type_name() const override { return TYPE_NAME(); }
    unsigned int object_type_id() const override { return TYPE_ID(); }
};

TEST(ObjectFactory, CreatesRegisteredTypesByNameAndById) {
    const unsigned int before = ObjectFactory::num_types();
    ObjectFactory::register_type<Probe<1>>(0);
    ObjectFactory::register_type<Probe<2>>(1);
    ASSERT_EQ(ObjectFactory::num_types(), before + 2);

    const ObjectFactory::TypeDesc& desc = ObjectFactory::type_desc(before);
    EXPECT_EQ(desc.name, "FactoryProbeOne");
    EXPECT_EQ(desc.origin, 0u);
    EXPECT_EQ(desc.id, crc32("FactoryProbeOne"));
    EXPECT_EQ(ObjectFactory::type_desc(before + 1).origin, 1u);

    std::unique_ptr<Object> by_name(ObjectFactory::create("FactoryProbeOne"));
    ASSERT_NE(by_name, nullptr);
    EXPECT_STREQ(by_name->object_type_name(), "FactoryProbeOne");
    EXPECT_NE(dynamic_cast<Probe<1>*>(by_name.get()), nullptr);

    std::unique_ptr<Object> by_id(ObjectFactory::create(crc32("FactoryProbeTwo")));
    ASSERT_NE(by_id, nullptr);
    EXPECT_STREQ(by_id->object_type_name(), "FactoryProbeTwo");
    EXPECT_NE(by_id.get(), by_name.get());

    // Every create makes a new object.
    std::unique_ptr<Object> again(ObjectFactory::create("FactoryProbeOne"));
    EXPECT_NE(again.get(), by_name.get());
}

TEST(ObjectFactory, RefusesASecondRegistrationOfAnId) {
    ObjectFactory::register_type<Probe<3>>(0);
    const unsigned int count = ObjectFactory::num_types();

    EXPECT_EQ(ErrorMessage([] { ObjectFactory::register_type<Probe<3>>(0); }),
              "Type FactoryProbeThree has already been registered.");
    // The message names the type being registered; the first one stays.
    EXPECT_EQ(ErrorMessage([] { ObjectFactory::register_type<ProbeClash>(1); }),
              "Type FactoryProbeClash has already been registered.");
    EXPECT_EQ(ObjectFactory::num_types(), count);
    std::unique_ptr<Object> made(ObjectFactory::create(Probe<3>::TYPE_ID()));
    EXPECT_STREQ(made->object_type_name(), "FactoryProbeThree");
}

TEST(ObjectFactory, UnknownTypesAreErrors) {
    EXPECT_EQ(ErrorMessage([] { delete ObjectFactory::create("Nothing"); }),
              "ERROR in ObjectFactory::create. No type registered for the given name: Nothing");
    EXPECT_EQ(ErrorMessage([] { delete ObjectFactory::create(5u); }),
              "ERROR in ObjectFactory::create. No type registered for the given id: 5");
    EXPECT_EQ(ErrorMessage([] { delete ObjectFactory::create(0xFFFFFFFFu); }),
              "ERROR in ObjectFactory::create. No type registered for the given id: 4294967295");
    EXPECT_EQ(ErrorMessage([] { delete ObjectFactory::create(static_cast<const char*>(nullptr)); }),
              "ERROR in ObjectFactory::create. No type registered for the given name: ");
}

TEST(ObjectFactory, TypeDescBeyondTheRegisteredTypesIsAnError) {
    const unsigned int count = ObjectFactory::num_types();
    EXPECT_NE(ErrorMessage([count] { ObjectFactory::type_desc(count); }), "");
}

}  // namespace
