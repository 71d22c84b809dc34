// Identifiers of the printing area.
#pragma once
