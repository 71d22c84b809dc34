#include "storage/engine_session.h"

#include "isam/engine_api.h"
// The API's start leaves installing the engine's layers to its caller (the
// engine's own tests install less); the top layer installs every one below.
#include "isam/fileset/isam_start.h"

int StartStorageEngine() {
  isam::InstallIsamLayer();
  int rc = isam::EngineThreadLayerStart(2, 0);
  if (rc != 0 && rc != 125) return rc;
  rc = isam::EngineStart(10, 2, 6, 10, 0, nullptr, nullptr, nullptr);
  // 125 / 518: this thread runs the engine already (a second document in
  // one process, as the tests make).
  if (rc == 125 || rc == 518) return 0;
  return rc;
}
