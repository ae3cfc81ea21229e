// Placeholder translation unit until this subsystem lands.
namespace stashly_exchange_detail {
int version() { return 1; }
}
