// Identifiers of the sharing area.
#pragma once
