// Choosing among the copies of a COMDAT section. Inline functions, template
// instances and their static data are compiled into every object that uses
// them; the image keeps one copy of each, chosen the way the section's
// selection asks, and drops the others together with their relocations.
#pragma once
#include <string>
#include <vector>

#include "tools/image_builder/link_input.h"

// Clears `kept` for every COMDAT section that loses to another copy (and for
// sections associated with a dropped one). `kept` must already be set for
// the loaded sections. False with a message naming the symbol and the
// object file when the copies may not be merged.
bool SelectComdatCopies(std::vector<InputObject>& objects, std::string& error);
