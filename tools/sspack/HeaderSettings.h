#pragma once

#include <string>

#include "package/PackageFormat.h"
#include "tools/sspack/JsonValues.h"

namespace sspack {

// The header a manifest starts from: Seconds 5, EffectSpeed 5, the four exit conditions and
// AllowRunAsProgram on, no logo transparent colour; everything else 0 or off.
pkg::PackageHeader DefaultHeader();

// Reads the manifest's "header" object: every setting by its field name, checked against the
// values the runtime and the configuration panel know. Sizes, counts and extensions belong to
// the builder and are refused here.
void ReadHeaderSettings(const Json& object, const std::string& path, pkg::PackageHeader& header);

}  // namespace sspack
