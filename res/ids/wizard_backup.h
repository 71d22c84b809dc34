// Identifiers of the wizard backup area.
#pragma once
