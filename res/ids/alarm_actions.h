// Identifiers of the alarm actions area.
#pragma once
