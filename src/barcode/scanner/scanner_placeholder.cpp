// Placeholder translation unit until this subsystem lands.
namespace stashly_scanner_detail {
int version() { return 1; }
}
