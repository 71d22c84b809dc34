// Identifiers of the list view area.
#pragma once
