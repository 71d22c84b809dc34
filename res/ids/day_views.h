// Identifiers of the day views area.
#pragma once
