#include "app/ZoneActions.h"

ZoneActions ProgramZoneActions() {
    // The catalogue, search, add-poem and options screens live in browse/, entry/ and options/;
    // each zone's action is set here when its screen is there. Until then a zone opens nothing,
    // and the main screen still answers a tap in its column without a library with its warning.
    return ZoneActions{};
}
