// CGridDropListType ("Drop list cell"): the type a cell uses to take one of
// the choices in its label. Registered by every grid as index 1; until its
// list window exists it draws and answers as a text cell that does not
// overflow into its neighbours.
#pragma once

#include "grid/celltypes/cell_type.h"

class CGridDropListType : public CGridCellType {
 public:
  CGridDropListType() { allowOverflow_ = false; }
  std::string GetName() const override { return "Drop list cell"; }
  GUID GetTypeGuid() const override;
};
