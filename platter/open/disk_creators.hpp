#pragma once

#include <map>
#include <memory>
#include <string>

namespace platter {

class Disk;

// The class-name registry of image creators ("Disk41" ...). A creator gives null while its
// class is not available.
using DiskCreator = std::unique_ptr<Disk> (*)();
const std::map<std::string, DiskCreator>& diskCreators();

}  // namespace platter
