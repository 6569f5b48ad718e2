#include "output_names.h"

#include "base/file_io.h"

namespace orvix::output {

std::string FileName(std::string_view fileTag, std::string_view ending) {
    std::string name = SafeFileName(fileTag);
    name.append(ending);
    return name;
}

}  // namespace orvix::output
