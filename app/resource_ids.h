// Identifiers shared by the resource script and the code.
#pragma once

// The program icon, also shown in the picture box. A name, not a number, as
// it has always been looked up by name.
#define TAVRIN_ICON_NAME "DEFAULT_ICON"
