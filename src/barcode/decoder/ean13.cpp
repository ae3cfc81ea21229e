#include "ean13.h"

namespace barcode {

const int LG[20] = {
    // L: 0001101 0011001 0010011 0111101 0100011 0110001 0101111 0111011 0110111 0001011
    13,
    25,
    19,
    61,
    35,
    49,
    47,
    59,
    55,
    11,
    // G: 0100111 0110011 0011011 0100001 0011101 0111001 0000101 0010001 0001001 0010111
    39,
    51,
    27,
    33,
    29,
    57,
    5,
    17,
    9,
    23,
};

// 1110010 1100110 1101100 1000010 1011100 1001110 1010000 1000100 1001000 1110100
const int R[10] = { 114, 102, 108, 66, 92, 78, 80, 68, 72, 116 };

// LLLLLL LLGLGG LLGGLG LLGGGL LGLLGG LGGLLG LGGGLL LGLGLG LGLGGL LGGLGL
const int FIRST_DIGIT[10] = { 0, 11, 13, 14, 19, 25, 28, 21, 22, 26 };

int ean13_checksum(const signed char *digits)
{
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (i % 2 == 0 ? 1 : 3) * digit_value(digits[i]);
    // G-coded values (10-19) add multiples of 10 and leave the result alone.
    return (10 - sum % 10) % 10;
}

int ean13_first_digit(const signed char *digits)
{
    int pattern = 0;
    for (int i = 1; i <= 6; ++i)
        pattern = (pattern << 1) | (digits[i] > 9 ? 1 : 0);
    for (int d = 0; d < 10; ++d)
        if (FIRST_DIGIT[d] == pattern)
            return d;
    return -1;
}

bool is_valid_barcode(const signed char *digits)
{
    return static_cast<unsigned char>(digits[0]) <= 9 && digits[12] == ean13_checksum(digits);
}

void printable_digits(const signed char *digits, char *text)
{
    // A first digit of -1 prints as "/", which callers treat as no code.
    for (int i = 0; i < 13; ++i)
        text[i] = static_cast<char>(digits[i] % 10 + '0');
    text[13] = 0;
}

} // namespace barcode
