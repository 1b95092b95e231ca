// RigidPart: the rotation and translation of a host matrix, without scale, shear or mirror.
// The matrix is decomposed with decomp_affine; the result's rows 0-2 are the essential
// rotation's matrix (Quat::MakeMatrix) and row 3 the decomposition's translation.
#pragma once

#include "host/Matrix3.h"

Matrix3 RigidPart(const Matrix3& m);
