// Placeholder translation unit until the decoder lands.
namespace barcode_decoder_detail {
int version() { return 1; }
}
