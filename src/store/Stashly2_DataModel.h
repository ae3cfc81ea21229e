#pragma once

#include "store/ManagedObjectModel.h"

// The program's entity model: the seventeen entities with every attribute and
// the to-many relationships.
//
// Version history (a store file records the version that wrote it; older files
// gain the missing tables and columns when opened):
//   1  the first release of the store
//   2  web groups (Group, Website) and Record.imageUID for photo-library records
namespace Stashly2_DataModel {

inline constexpr int currentVersion = 2;

// The model, built once and kept.
const ManagedObjectModel &model();

} // namespace Stashly2_DataModel
