// The names of the entries of a zip file, in the archive's order (none when
// it cannot be opened).
#pragma once

#include <string>
#include <vector>

#include <zip.h>

namespace fvn::testing {

inline std::vector<std::string> zip_entries(const std::string& path) {
  std::vector<std::string> names;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return names;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) names.emplace_back(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
  zip_close(archive);
  return names;
}

}  // namespace fvn::testing
