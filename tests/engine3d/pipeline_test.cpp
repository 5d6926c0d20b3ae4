// The render pipeline: view and projection, clipping with its pool, the
// textured fan, and whole frames of small hand-made scenes (sphere
// rejection, a corner far away, a floor from under the eye, random and
// extreme geometry, a camera without direction, the depth buffer's life).
#include "engine3d/face_drawers.h"
#include "engine3d/pipeline.h"
#include "engine3d/polygon_rasterizers.h"
#include "engine3d/scene3d.h"
#include "tests/engine3d/raster_canvas.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <sstream>

namespace {

using engine3d::ScreenVertex;
using engine3d::Vec3;

TEST(RenderPipeline, ViewTransformAndProjectionPutCameraSpaceXRightYDownOnTheScreen)
{
    // Camera at z = -100 looking at the origin, focal length 256, 320x200:
    // screen x = 160 + 256 x / z, world up is screen up.
    struct Case {
        Vec3 world;
        float roll;
        float sx, sy;
    };
    const Case cases[] = {
        {{10, 0, 0}, 0.0f, 185.6f, 100.0f},
        {{0, 20, 0}, 0.0f, 160.0f, 48.8f},
        {{0, 0, 100}, 0.0f, 160.0f, 100.0f},
        {{10, 0, 0}, float(std::numbers::pi / 2), 160.0f, 125.6f}, // rolled a quarter turn
    };
    const engine3d::Projection projection{256.0f, 160, 100};
    for (const auto& c : cases) {
        const engine3d::Transform view = engine3d::viewTransform({0, 0, -100}, {0, 0, 0}, c.roll);
        const Vec3 p = view.apply(c.world);
        ScreenVertex s;
        s.x = p.x;
        s.y = p.y;
        s.z = p.z;
        engine3d::project(s, projection);
        EXPECT_FLOAT_EQ(s.sx, c.sx) << c.world.x << "," << c.world.y << " roll " << c.roll;
        EXPECT_FLOAT_EQ(s.sy, c.sy) << c.world.x << "," << c.world.y << " roll " << c.roll;
    }
}

// Camera-space corners on a 64x64 picture with focal length 32: at z = 32 a
// point (x, y) lands on the screen at (32 + x, 32 + y), and the side planes
// lie about 31 from the centre.
struct SmallView {
    engine3d::Frustum frustum = engine3d::makeFrustum(64, 64, 32.0f);
    engine3d::Projection projection{32.0f, 32, 32};

    ScreenVertex corner(double x, double y, double z = 32) const
    {
        ScreenVertex s;
        s.x = x;
        s.y = y;
        s.z = z;
        s.outcode = engine3d::outcodes(s, frustum);
        if (s.outcode == 0)
            engine3d::project(s, projection);
        return s;
    }
};

TEST(RenderPipeline, ClipperCutsEachPlaneFromAFreshPool)
{
    SmallView view;
    engine3d::FaceClipper clipper(view.frustum, view.projection);
    struct Case {
        std::array<ScreenVertex, 3> corners;
        int count, poolUsed;
    };
    const Case cases[] = {
        {{view.corner(-10, 0), view.corner(10, -10), view.corner(10, 10)}, 3, 0},  // inside
        {{view.corner(-40, 0), view.corner(10, -10), view.corner(10, 10)}, 4, 2},  // one side
        {{view.corner(-40, 0), view.corner(0, 40), view.corner(20, -20)}, 5, 4},   // two sides
        {{view.corner(0, 0, 5), view.corner(10, 0, 40), view.corner(0, 10, 40)}, 4, 2}, // near plane
        {{view.corner(-40, 0), view.corner(-50, 10), view.corner(-45, -10)}, 0, 0}, // all beyond one side
    };
    for (int pass = 0; pass < 2; ++pass) // the pool restarts for every face
        for (const auto& c : cases) {
            std::array<ScreenVertex, 3> corners = c.corners;
            ScreenVertex* list[3] = {&corners[0], &corners[1], &corners[2]};
            const int count = clipper.clip(list, 3);
            EXPECT_EQ(count, c.count) << c.corners[0].x;
            EXPECT_EQ(clipper.poolUsed(), c.poolUsed) << c.corners[0].x;
            for (int i = 0; i < count; ++i) {
                const ScreenVertex& v = *clipper.corners()[i];
                EXPECT_TRUE(v.sx >= 0.5f && v.sx <= 63.5f && v.sy >= 0.5f && v.sy <= 63.5f) << v.sx << "," << v.sy;
                EXPECT_GE(v.z, 10.0);
            }
        }
    // More corners than a clip list holds: the face is dropped.
    std::vector<ScreenVertex> many(23, view.corner(0, 0));
    std::vector<ScreenVertex*> list;
    for (auto& v : many)
        list.push_back(&v);
    EXPECT_EQ(clipper.clip(list.data(), 23), 0);
}

TEST(RenderPipeline, TexturedFanCoversThePolygonAndEndsAtAZeroAreaTriangle)
{
    using raster_testing::vertex;
    const auto texels = raster_testing::indexTexture();
    // A convex pentagon drawn as (0,1,2), (0,2,3), (0,3,4) covers exactly
    // what the rasterizer covers drawing the whole pentagon at once.
    const ScreenVertex pentagon[5] = {vertex(20, 2, 1, 1), vertex(4, 12, 1, 1), vertex(10, 30, 1, 1),
                                      vertex(30, 30, 1, 1), vertex(36, 12, 1, 1)};
    const ScreenVertex* corners[5] = {&pentagon[0], &pentagon[1], &pentagon[2], &pentagon[3], &pentagon[4]};
    raster_testing::Canvas fan(40, 32), whole(40, 32);
    engine3d::drawTexturedFan(corners, 5, {fan.pixels.data(), fan.depth.data(), fan.pitch(), 40, 32}, texels.data());
    engine3d::_tmapasm32b(corners, 5, 0, 0, 0, texels.data(), whole.pixels.data(), whole.depth.data(), whole.pitch());
    EXPECT_EQ(fan.depth, whole.depth);
    EXPECT_EQ(fan.at(20, 20), 257u);

    // Corner 3 repeats corner 2: triangle (0, 2, 3) has no area, so (0, 3, 4)
    // is not drawn either and only (0, 1, 2) remains.
    const ScreenVertex* repeated[5] = {&pentagon[0], &pentagon[1], &pentagon[2], &pentagon[2], &pentagon[3]};
    raster_testing::Canvas cut(40, 32), first(40, 32);
    engine3d::drawTexturedFan(repeated, 5, {cut.pixels.data(), cut.depth.data(), cut.pitch(), 40, 32}, texels.data());
    engine3d::drawTexturedFan(corners, 3, {first.pixels.data(), first.depth.data(), first.pitch(), 40, 32},
                              texels.data());
    EXPECT_EQ(cut.depth, first.depth);
    EXPECT_EQ(cut.at(28, 28), 0u); // inside (0, 3, 4)
}

// A scene made in code: one camera (no tracks: it stays where it is stored)
// and meshes whose vertices are given in world space.
class SmallScene {
public:
    SmallScene(Vec3 position, Vec3 target, float focalLength = 256.0f)
        : scene_(nullptr, 0, "test", messages_), frame_(320, 200, display::format32())
    {
        auto camera = std::make_unique<engine3d::Camera>();
        camera->position = position;
        camera->target = target;
        camera->focalLength = focalLength;
        scene_.addCamera(std::move(camera));
        testing_support::paint(frame_, kBackground);
    }

    engine3d::Mesh& addMesh(const std::vector<Vec3>& vertices, const std::vector<std::array<int, 3>>& faces,
                            engine3d::MaterialKind kind, Vec3 position = {})
    {
        auto mesh = std::make_unique<engine3d::Mesh>();
        engine3d::PositionKey key;
        key.value = position;
        mesh->positionTrack.keys.push_back(key); // one key: the mesh stays there
        mesh->kind = kind;
        mesh->vertices = vertices;
        mesh->screenVertices.resize(vertices.size());
        double radius = 0;
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            mesh->screenVertices[i].sourceIndex = std::uint32_t(i);
            radius = std::max(radius, std::sqrt(engine3d::squaredLength(vertices[i])));
        }
        mesh->boundingRadius = radius + 1;
        for (const auto& f : faces) {
            engine3d::Face face;
            for (int k = 0; k < 3; ++k) {
                face.corners[k] = &mesh->screenVertices[std::size_t(f[std::size_t(k)])];
                face.uv[k] = {float(k * 64), float(k * 32)};
            }
            face.texture = &texture_;
            mesh->faces.push_back(face);
        }
        if (kind == engine3d::Wireframe)
            mesh->productTable = engine3d::makeProductTable();
        engine3d::Mesh& m = *mesh;
        scene_.addMesh(std::move(mesh));
        return m;
    }

    // One frame: surface, depth cleared to -1, render.
    void render()
    {
        engine3d::Camera& camera = *scene_.camera(0);
        camera.setSurface(&frame_);
        camera.clearDepth(255);
        ASSERT_EQ(scene_.render(0, 0.0f), &frame_);
    }

    int drawnPixels() { return countNot(kBackground); }
    int countNot(std::uint32_t colour)
    {
        int n = 0;
        for (auto p : testing_support::pixelsOf(frame_))
            n += p != colour;
        return n;
    }
    bool drawnAt(int x, int y) { return testing_support::pixelAt(frame_, x, y) != kBackground; }
    engine3d::Camera& camera() { return *scene_.camera(0); }
    engine3d::Scene3D& scene() { return scene_; }
    display::Surface& frame() { return frame_; }

    static constexpr std::uint32_t kBackground = 0x405060;

private:
    std::ostringstream messages_;
    engine3d::Scene3D scene_;
    display::Surface frame_;
    display::Surface texture_{256, 256, display::format32()};
};

const engine3d::MaterialKind kAllKinds[] = {engine3d::Textured, engine3d::PerspectiveTextured, engine3d::Wireframe,
                                            engine3d::Flat};

TEST(RenderPipeline, MeshBehindASidePlaneIsRejectedBeforeAnyVertexIsTransformed)
{
    for (auto kind : kAllKinds) {
        SmallScene s({0, 0, -100}, {0, 0, 0});
        // Far to the left of the view: its bounding sphere is behind plane 0.
        engine3d::Mesh& mesh = s.addMesh({{0, 0, 0}, {0, 10, 0}, {10, 0, 0}}, {{0, 1, 2}}, kind, {-500, 0, 0});
        for (auto& v : mesh.screenVertices)
            v.x = v.y = v.z = 12345.0;
        s.render();
        for (const auto& v : mesh.screenVertices)
            EXPECT_EQ(v.z, 12345.0) << kind;
        EXPECT_EQ(s.drawnPixels(), 0) << kind;
    }
}

TEST(RenderPipeline, FaceReachingFarAwayIsDrawnUnclipped)
{
    // Two corners 1000 in front of the camera, one 2e12 away, projecting to
    // (134.4, 102.56), (185.6, 102.56) and (160, 71.84).
    SmallScene s({0, 0, 0}, {0, 0, 1});
    engine3d::Mesh& mesh =
        s.addMesh({{100, -10, 1000}, {-100, -10, 1000}, {0, 2.2e11, 2e12}}, {{1, 0, 2}}, engine3d::Flat);
    s.render();
    EXPECT_EQ(mesh.faces[0].clipFlag, 0);
    EXPECT_EQ(s.countNot(0), 320 * 200 - s.drawnPixels()); // drawn black
    EXPECT_TRUE(s.drawnAt(160, 90));
    EXPECT_TRUE(s.drawnAt(140, 102));
    EXPECT_FALSE(s.drawnAt(160, 103));
    EXPECT_FALSE(s.drawnAt(160, 71));
}

TEST(RenderPipeline, FloorFromUnderTheEyeIsClippedTenInFront)
{
    // A floor 20 below the eye, one with a corner straight under the eye
    // (z = 0, where a projection would divide by zero) and one reaching
    // behind it; each given in both windings, so that one faces the camera.
    const std::vector<Vec3> vertices{{0, -20, 0},      {100, -20, 200}, {-100, -20, 200},
                                     {-100, -20, -100}, {100, -20, -100}, {0, -20, 100}};
    for (auto kind : kAllKinds)
        for (int floor = 0; floor < 2; ++floor) {
            SmallScene s({0, 0, 0}, {0, 0, 1});
            const int a = floor * 3;
            s.addMesh(vertices, {{a, a + 1, a + 2}, {a, a + 2, a + 1}}, kind);
            s.render();
            EXPECT_GT(s.drawnPixels(), kind == engine3d::Wireframe ? 500 : 5000) << kind << " floor " << floor;
            // 1/z of every pixel drawn is at most 1/10.
            engine3d::Camera& camera = s.camera();
            for (int i = 0; i < 320 * 200; ++i)
                ASSERT_TRUE(camera.depthBuffer[i] == -1 || (camera.depthBuffer[i] > 0 && camera.depthBuffer[i] <= 1677722))
                    << kind << " floor " << floor << " pixel " << i << " depth " << camera.depthBuffer[i];
        }
}

TEST(RenderPipeline, RandomAndExtremeGeometryStaysInsideThePicture)
{
    // Vertices anywhere, some huge, tiny or not numbers at all, seen from
    // cameras anywhere: every kind draws only inside its buffers (the
    // sanitizer build checks every access).
    std::mt19937 random(11);
    std::uniform_real_distribution<double> near(-300, 300);
    const double odd[] = {0.0, 1e-300, -1e30, 1e30, std::nan(""), 1e12, -10.0};
    auto coordinate = [&] { return random() % 8 == 0 ? odd[random() % 7] : near(random); };
    int drawnFrames = 0;
    for (int frame = 0; frame < 40; ++frame) {
        SmallScene s({near(random), near(random), near(random)}, {near(random), near(random), near(random)},
                     float(10 + random() % 400));
        std::vector<Vec3> vertices(30);
        for (auto& v : vertices)
            v = {coordinate(), coordinate(), coordinate()};
        std::vector<std::array<int, 3>> faces(40);
        for (auto& f : faces)
            f = {int(random() % 30), int(random() % 30), int(random() % 30)};
        for (auto kind : kAllKinds)
            s.addMesh(vertices, faces, kind).boundingRadius = 1e300; // never rejected whole
        s.render();
        drawnFrames += s.drawnPixels() > 0;
    }
    EXPECT_GT(drawnFrames, 10);
}

TEST(RenderPipeline, CameraWithoutADirectionDrawsNothing)
{
    SmallScene s({5, 5, 5}, {5, 5, 5});
    s.addMesh({{-10, 0, 0}, {10, 0, 0}, {0, 10, 0}}, {{0, 1, 2}}, engine3d::Wireframe);
    s.render();
    EXPECT_EQ(s.drawnPixels(), 0);
}

TEST(RenderPipeline, DepthBufferLivesWhileSurfacesKeepTheirSize)
{
    SmallScene s({0, 0, -100}, {0, 0, 0});
    engine3d::Camera& camera = s.camera();
    EXPECT_EQ(s.scene().render(0, 0.0f), nullptr); // no surface yet
    display::Surface first(320, 200, display::format32()), second(320, 200, display::format32()),
        small(64, 48, display::format32());
    camera.setSurface(&first);
    EXPECT_EQ(camera.depthStorage.size(), 320u * 210); // |pitch / 4| x (height + 10)
    camera.clearDepth(255);
    EXPECT_EQ(camera.depthBuffer[320 * 200 - 1], -1);
    camera.depthBuffer[7] = 99;
    camera.setSurface(&second); // same size: the same entries
    EXPECT_EQ(camera.depthBuffer[7], 99);
    camera.setSurface(&small);
    EXPECT_EQ(camera.depthStorage.size(), 64u * 58);
}

} // namespace
