#pragma once

// Registers the station's compiled-in resources (icon, wizard texts). They live in a static
// library, whose resource initialiser the linker would otherwise drop; every loader of a
// resource calls this first. Safe to call any number of times.
void loadStationResources();
