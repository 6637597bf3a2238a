#pragma once

#include <objbase.h>

namespace trayhound {

// COM for the user-interface thread (the image decoders), for the lifetime of the object.
class ComApartment {
  public:
    ComApartment();  // throws Error when COM cannot be initialised
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace trayhound
