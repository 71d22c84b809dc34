// Identifiers of the calendar views area.
#pragma once
