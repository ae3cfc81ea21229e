#pragma once

// EAN-13 code sets and checks (ISO/IEC 15420). Codes are 7-bit numbers whose
// highest bit is the first module; 1 is a bar.

namespace barcode {

// L codes of 0-9 followed by the G codes of 0-9.
extern const int LG[20];
// R codes of 0-9.
extern const int R[10];
// Parity of the six left-half digits for each first digit; G = 1, the
// second digit of the code is the highest of the 6 bits.
extern const int FIRST_DIGIT[10];

// A digit value as stored in the digit arrays: 0-19, or a character
// "0"-"9" (taken modulo 48).
inline int digit_value(int v)
{
    return v % 48;
}

// Check digit of the first twelve digits.
int ean13_checksum(const signed char *digits);
// First digit implied by the parity of digits[1..6], or -1.
int ean13_first_digit(const signed char *digits);
// First digit 0-9 and a matching check digit.
bool is_valid_barcode(const signed char *digits);
// Writes the 13 digit characters (value modulo 10 plus "0") and a zero.
void printable_digits(const signed char *digits, char *text);

} // namespace barcode
