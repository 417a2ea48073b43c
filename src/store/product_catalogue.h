#pragma once
// The product catalogue: store paths, the names a product may have, adding
// and deleting products.

#include "platform/dialogs.h"
#include "store/record_database.h"

#include <vector>

namespace zenvik {

// Paths below the program's directory (which ends in "/").
Text cataloguePath(const Text& baseDirectory);                          // "sp.edb"
Text stockStorePath(const Text& baseDirectory, const Text& product);    // "sp/" + P + ".edb"
Text discardStorePath(const Text& baseDirectory, const Text& product);  // "sp/" + P + "2.edb"

// The catalogue's product names in catalogue order (selects "sp").
std::vector<Text> productNames(RecordDatabase& db);

// Adds the product with its two empty stores, or, when there is no
// catalogue yet, offers to create it. A name is refused, with a message box,
// when it is empty, already listed, no file name, too long for its store
// files, or when its stores would share a file or an alias with another
// store's.
enum class AddProductOutcome {
    Added,             // the product and its two empty stores exist; refill the list
    CatalogueCreated,  // there was no catalogue; it was created: end the program
    Declined,          // the seller answered No to creating the catalogue
    Refused,           // the seller was told why; nothing was created
};
AddProductOutcome addProduct(RecordDatabase& db, const Text& baseDirectory, const Text& name,
                             Dialogs& dialogs);

// What the seller is told when the typed name holds a character that code
// page 936 cannot hold (the name never reaches addProduct then).
Text unconvertibleNameMessage();

// Asks Yes/No; on Yes removes the product from the catalogue and moves its two
// store files into "sp/deleted/" under time-stamped names, so no card is
// ever destroyed. True when removed; on failure nothing changed and the
// seller was told.
bool deleteProduct(RecordDatabase& db, const Text& baseDirectory, const Text& name,
                   Dialogs& dialogs);

} // namespace zenvik
