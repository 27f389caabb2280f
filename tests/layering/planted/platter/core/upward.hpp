#pragma once
// A planted upward include: the layering check must refuse it.
#include "platter/formats/disk41.hpp"
