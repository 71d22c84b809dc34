// The main frame's tooltip control member: the library control as it is.
#pragma once

#include "framework/controls/tool_tip.h"

class CFrameToolTip : public framework::CToolTipCtrl {};
