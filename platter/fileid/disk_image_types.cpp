#include "platter/fileid/disk_image_types.hpp"

namespace platter {

bool isDiskImageTypeId(std::uint32_t typeId) {
    return (typeId >= 5 && typeId <= 11) || typeId == 13 || typeId == 15 || typeId == 17 || typeId == 19 ||
           typeId == 21 || (typeId >= 23 && typeId <= 25) || (typeId >= 27 && typeId <= 32);
}

}  // namespace platter
