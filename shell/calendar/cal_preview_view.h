// CCalPreviewView: the preview view of calendar pages. It adds nothing to
// the library's preview view; it exists so calendar previews have a class
// of their own.
#pragma once

#include "framework/printing/print_preview.h"

class CCalPreviewView : public framework::CPreviewView {};
