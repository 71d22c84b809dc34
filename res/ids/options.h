// Identifiers of the options area.
#pragma once
