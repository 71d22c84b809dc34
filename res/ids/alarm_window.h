// Identifiers of the alarm window area.
#pragma once
