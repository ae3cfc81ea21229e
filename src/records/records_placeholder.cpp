// Placeholder translation unit until this subsystem lands.
namespace stashly_records_detail {
int version() { return 1; }
}
