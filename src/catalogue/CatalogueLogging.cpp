#include "catalogue/CatalogueLogging.h"

Q_LOGGING_CATEGORY(lcCatalogue, "orval.catalogue")
