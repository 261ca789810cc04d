#include "tests/engine/scene/SceneTestDevice.h"

#include "engine/video/CTexture.h"

#include <gtest/gtest.h>

using namespace RVGameEngine;

namespace SceneTest {

namespace {

// Lives to the end of the process: cached textures reach the driver at exit.
struct Environment : ::testing::Environment
{
    RecordingVideoDriver* driver = new RecordingVideoDriver();
    SceneTestDevice* device = nullptr;

    void SetUp() override
    {
        driver->AddRef();
        device = new SceneTestDevice();
        device->videoDriver = driver;
    }
};

Environment* g_environment = static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));

} // namespace

void RecordingVideoDriver::DrawMeshBuffer(Video::IMeshBuffer* buffer, uint32_t)
{
    if (buffer->GetTriangleCount() == 0)
        return;
    RecordedBatch batch;
    batch.vertices.assign(buffer->GetVertices(), buffer->GetVertices() + buffer->GetVertexCount());
    batch.indices.assign(buffer->GetIndices(), buffer->GetIndices() + buffer->GetIndexCount());
    batch.texture = buffer->GetTexture();
    batch.blendMode = blendMode;
    batch.textureFilter = textureFilter;
    batches.push_back(std::move(batch));
}

void RecordingVideoDriver::LoadTexture(Video::CTexture* texture, const wchar_t* fileName, uint32_t filter)
{
    loadedTextures.push_back(fileName);
    texture->Init(256, 256, nullptr, filter);
}

RecordingVideoDriver& Driver() { return *g_environment->driver; }
SceneTestDevice& Device() { return *g_environment->device; }

Scene::CSpriteManager2D& FreshManagers()
{
    SceneTestDevice& device = Device();
    device.sprites = Common::TIntrusivePointer<Scene::CSpriteManager2D>(new Scene::CSpriteManager2D());
    device.scene = Common::TIntrusivePointer<Scene::CSceneManager2D>(new Scene::CSceneManager2D());
    device.sprites->Initialize();
    device.scene->Initialize();
    Driver().Forget();
    return *device.sprites;
}

} // namespace SceneTest
