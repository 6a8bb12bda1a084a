#pragma once
// The console sheet: the printed record of a console that an organ builder leaves with the
// instrument. One page per manual with its keyboard's channels, its expression shoe and its
// twenty pistons in the rail's own groups, in the words the command line shows them in.

#include "model/catalogue.h"
#include "model/console_model.h"

#include <string>
#include <string_view>

namespace vtl {

// The sheet as an HTML document: every manual on its own page (a page break before each one
// after the first), each page headed with the file's name and the date as given; the first
// page lists what the console check finds, when it finds anything.
std::string ConsoleSheetHtml(const ConsoleModel& model, const FunctionCatalogue& catalogue,
                             std::string_view fileName, std::string_view date);

} // namespace vtl
