#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/math/tagMatrix4x4.h"
#include "engine/math/tagVector3.h"

namespace RVGameEngine {
namespace Video {
namespace Imaging {

// Left-handed orthographic projection of a width × height view volume
// centred on the eye's axis; depth nearPlane..farPlane maps to 0..1.
RV_API Math::tagMatrix4x4* MatrixOrthoLH(Math::tagMatrix4x4* out, float width, float height,
                                         float nearPlane, float farPlane);
// Left-handed view matrix from eye towards at, with up giving the y axis.
RV_API Math::tagMatrix4x4* MatrixLookAtLH(Math::tagMatrix4x4* out, const Math::tagVector3& eye,
                                          const Math::tagVector3& at, const Math::tagVector3& up);

} // namespace Imaging
} // namespace Video
} // namespace RVGameEngine
