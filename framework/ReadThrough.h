// Reading through a container that a getter filled. A getter may succeed with an object that is
// flagged not valid: no call is made through such a container, and the read fails with the
// container's own validity answer, which names the object as the read itself would. The caller
// then reports what that read reports when it fails. Stateless; safe from any thread.
#pragma once

#include "lumopi/LumoPI.h"

template <class T, class Read>
Lumo::Result readThrough(const Lumo::ContainerT<T>& container, Read&& read)
{
    Lumo::Result valid = container.IsValid();
    if (!valid)
        return valid;
    return read();
}
