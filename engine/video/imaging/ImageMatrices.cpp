#include "engine/video/imaging/ImageMatrices.h"

#include "engine/math/MatrixFunctions.h"

namespace RVGameEngine {
namespace Video {
namespace Imaging {

Math::tagMatrix4x4* MatrixOrthoLH(Math::tagMatrix4x4* out, float width, float height,
                                  float nearPlane, float farPlane)
{
    *out = Math::tagMatrix4x4(2.0f / width, 0.0f, 0.0f, 0.0f,
                              0.0f, 2.0f / height, 0.0f, 0.0f,
                              0.0f, 0.0f, 1.0f / (farPlane - nearPlane), 0.0f,
                              0.0f, 0.0f, nearPlane / (nearPlane - farPlane), 1.0f);
    return out;
}

Math::tagMatrix4x4* MatrixLookAtLH(Math::tagMatrix4x4* out, const Math::tagVector3& eye,
                                   const Math::tagVector3& at, const Math::tagVector3& up)
{
    Math::Matrix4x4LookAtLH(*out, eye.x, eye.y, eye.z, at.x, at.y, at.z, up.x, up.y, up.z);
    return out;
}

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
