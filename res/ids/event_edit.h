// Identifiers of the event edit area.
#pragma once
