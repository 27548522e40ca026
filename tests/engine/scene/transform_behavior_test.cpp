#include "engine/scene/transform_behavior.h"

#include "engine/core/error.h"
#include "engine/core/parameter_stack.h"
#include "engine/scene/edit_grip.h"
#include "engine/scene/entity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace vo {
namespace {

using behaviors::Transform;
using Matrix4 = MathMatrix<4, 4, float>;

// p (a row vector, w = 1) times m.
vector3 TransformPoint(const Matrix4& m, const vector3& p) {
    return vector3(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
                   p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]);
}

void ExpectVector(const vector3& expected, const vector3& actual, float tolerance = 1e-6f) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

TEST(TransformBehaviorTest, MatrixScalesThenRotatesThenTranslates) {
    Transform t;
    const Matrix4 identity = Matrix4::identity();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(identity[i], t.transformation_matrix()[i]) << i;

    t.set_position(vector3(1, 2, 3));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(identity[i], t.transformation_matrix()[i]) << "before update " << i;
    t.update(0.0f);
    Matrix4 translated = identity;
    translated[12] = 1;
    translated[13] = 2;
    translated[14] = 3;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(translated[i], t.transformation_matrix()[i]) << i;

    t.set_position(vector3(10, 20, 30));
    t.set_rotation(vector3(0, 0, static_cast<float>(M_PI / 2)));
    t.set_scaling(vector3(2, 2, 2));
    t.update(0.0f);
    ExpectVector(vector3(10, 18, 30), TransformPoint(t.transformation_matrix(), vector3(1, 0, 0)));
    ExpectVector(vector3(12, 20, 30), TransformPoint(t.transformation_matrix(), vector3(0, 1, 0)));
    ExpectVector(vector3(10, 20, 32), TransformPoint(t.transformation_matrix(), vector3(0, 0, 1)));
}

TEST(TransformBehaviorTest, RotationsComposeAboutXThenYThenZ) {
    Transform t;
    const float half_pi = static_cast<float>(M_PI / 2);
    t.set_rotation(vector3(half_pi, half_pi, 0));
    t.update(0.0f);
    // R = Rx * Ry: a row vector is turned about x first, then about y
    ExpectVector(vector3(0, 0, 1), TransformPoint(t.transformation_matrix(), vector3(1, 0, 0)));
    ExpectVector(vector3(1, 0, 0), TransformPoint(t.transformation_matrix(), vector3(0, 1, 0)));
    ExpectVector(vector3(0, 1, 0), TransformPoint(t.transformation_matrix(), vector3(0, 0, 1)));
}

TEST(TransformBehaviorTest, PropertiesRoundTripAndCloneCopiesTheVectors) {
    Transform source;
    source.set_position(vector3(1, 2, 3));
    source.set_rotation(vector3(0.1f, 0.2f, 0.3f));
    source.set_scaling(vector3(4, 5, 6));

    ParameterStack params;
    source.get_properties(params);
    params.push(Variant(7), 0, "after");
    Transform target;
    target.set_properties(params);
    ExpectVector(source.position(), target.position(), 0);
    ExpectVector(source.rotation(), target.rotation(), 0);
    ExpectVector(source.scaling(), target.scaling(), 0);
    EXPECT_STREQ("scale", params.param_desc().name);  // read index on the last entry read

    ParameterStack missing;
    missing.push(Variant(vector3()), 0, "pos");
    EXPECT_THROW(target.set_properties(missing), Error);

    source.update(0.0f);
    std::unique_ptr<IBehavior> copy(source.clone());
    Transform* clone = static_cast<Transform*>(copy.get());
    ExpectVector(source.position(), clone->position(), 0);
    ExpectVector(source.scaling(), clone->scaling(), 0);
    EXPECT_EQ(1.0f, clone->transformation_matrix()[0]);  // identity until its first update
    EXPECT_EQ(0.0f, clone->transformation_matrix()[12]);
    clone->update(0.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(source.transformation_matrix()[i], clone->transformation_matrix()[i]);
}

TEST(TransformBehaviorTest, PositionGripDragsAndCancels) {
    Transform t;
    t.set_position(vector3(1, 1, 0));
    std::vector<SmartPtr<EditGrip>> grips;
    t.get_edit_grips(grips);
    ASSERT_EQ(2u, grips.size());
    EditGrip& grip = *grips[0];
    ExpectVector(vector3(1, 1, 0), grip.position(), 0);

    grip.begin_drag();
    grip.drag_to(vector3(1, 0, 0));
    ExpectVector(vector3(2, 1, 0), t.position(), 0);
    grip.drag_to(vector3(0, 2, 1));  // always from the start
    ExpectVector(vector3(1, 3, 1), t.position(), 0);
    grip.end_drag(false);
    ExpectVector(vector3(1, 1, 0), t.position(), 0);

    grip.begin_drag();
    grip.drag_to(vector3(1, 0, 0));
    grip.end_drag(true);
    ExpectVector(vector3(2, 1, 0), t.position(), 0);
}

TEST(TransformBehaviorTest, RotationGripTurnsAboutZFromPlusYTowardsPlusX) {
    Transform t;
    t.set_position(vector3(5, 5, 1));
    std::vector<SmartPtr<EditGrip>> grips;
    t.get_edit_grips(grips);
    EditGrip& grip = *grips[1];
    ExpectVector(vector3(5, 7, 1), grip.position());  // 2 units above

    struct Drag {
        vector3 offset;
        float angle;
    };
    const float pi = static_cast<float>(M_PI);
    const Drag drags[] = {
        {vector3(2, -2, 0), pi / 2},           // to the right
        {vector3(-2, -2, 0), 3 * pi / 2},      // to the left
        {vector3(0, -4, 0), pi},               // below
        {vector3(0, 5, 0), 0},                 // further up
        {vector3(1e-3f, 1e-3f, 0), std::atan(1e-3f / 2.001f)},  // small moves of the handle count
    };
    for (const Drag& d : drags) {
        t.set_rotation(vector3(0, 0, 0));
        grip.begin_drag();
        grip.drag_to(d.offset);
        EXPECT_NEAR(d.angle, t.rotation().z, 1e-4f) << d.offset;  // acos near 1 is coarse in float
        EXPECT_FALSE(std::isnan(t.rotation().z));
        grip.end_drag(true);
    }

    // a drag onto the position itself leaves the rotation alone
    t.set_rotation(vector3(0, 0, 1.0f));
    grip.begin_drag();
    const vector3 start = grip.position();
    grip.drag_to(vector3(5 - start.x, 5 - start.y, 0));
    EXPECT_EQ(1.0f, t.rotation().z);

    // cancel restores the start angle
    grip.drag_to(vector3(3, 0, 0));
    EXPECT_NE(1.0f, t.rotation().z);
    grip.end_drag(false);
    EXPECT_EQ(1.0f, t.rotation().z);
    ExpectVector(vector3(5, 5, 1), t.position(), 0);
}

TEST(TransformBehaviorTest, BaseGripDoesNothing) {
    EditGrip grip;
    grip.begin_drag();
    grip.drag_to(vector3(1, 2, 3));
    grip.end_drag(true);
    grip.draw();
    ExpectVector(vector3(0, 0, 0), grip.position(), 0);
}

TEST(TransformBehaviorTest, GetAndSetPositionUseTheFirstTransform) {
    Entity entity;
    vector3 p;
    try {
        GetPosition(&entity, p);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ("GetPosition: entity has no transform behavior!", e.message());
    }
    try {
        SetPosition(&entity, p);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ("SetPosition: entity has no transform behavior!", e.message());
    }

    Transform* first = entity.add_behavior<Transform>("transform");
    Transform* second = entity.add_behavior<Transform>();
    EXPECT_TRUE(SetPosition(&entity, vector3(3, 4, 5)));
    ExpectVector(vector3(3, 4, 5), first->position(), 0);
    ExpectVector(vector3(0, 0, 0), second->position(), 0);
    EXPECT_EQ(0.0f, first->transformation_matrix()[12]);  // the matrix follows at the next update
    EXPECT_TRUE(GetPosition(&entity, p));
    ExpectVector(vector3(3, 4, 5), p, 0);
    entity.update(0.0f);
    EXPECT_EQ(3.0f, first->transformation_matrix()[12]);
}

}  // namespace
}  // namespace vo
