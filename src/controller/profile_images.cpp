#include "profile_images.h"

uchar *ProfileImages::image(int number) {
    return isValid(number) ? m_images[number].data() : nullptr;
}

const uchar *ProfileImages::image(int number) const {
    return isValid(number) ? m_images[number].data() : nullptr;
}
