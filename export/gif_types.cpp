#include "gif_types.h"

#include "base/cp1251.h"

namespace orvix {

EGifNoData::EGifNoData() : EGifError(W1251("Нет данных для записи в формате GIF")) {}

EGifEncodeError::EGifEncodeError() : EGifError(W1251("Ошибка кодировки данных в формат GIF")) {}

int GifColorCount(int indexBits) {
    switch (indexBits) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            throw EGifEncodeError();
    }
}

}  // namespace orvix
