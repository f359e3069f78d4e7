#include "app/ZoneActions.h"

#include "browse/CatalogDlg.h"
#include "browse/SearchDlg.h"
#include "entry/AddPoemDlg.h"
#include "options/KavroOption.h"
#include "reading/PoemViewDlg.h"

ZoneActions ProgramZoneActions() {
    // Each zone opens the screen its folder provides; a zone without one opens nothing, and the
    // main screen still answers a tap in its column without a library with its warning.
    ZoneActions actions;
    actions.catalogue = RunCatalogue;
    actions.search = RunSearchDialog;
    actions.addPoem = RunAddPoemDialog;
    actions.options = RunOptionsSheet;
    actions.randomPoem = RunRandomPoem;
    actions.favourites = RunFavouritesCatalogue;
    actions.hasFavourites = HasFavourites;
    return actions;
}
