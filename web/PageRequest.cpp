#include "web/PageRequest.h"

Text fetchPageText(const Text&) { return {}; }
