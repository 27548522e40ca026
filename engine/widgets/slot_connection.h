#pragma once

// The connection that connecting a slot hands back, named for member
// templates of widget headers. widget.h only declares the signal library's
// connection class; spelling it through the template parameter defers the
// need for its definition to the caller, who includes
// <boost/signals2/connection.hpp> to keep or ignore the result.

#include <type_traits>

namespace boost {
namespace signals2 {
class connection;
}  // namespace signals2
}  // namespace boost

namespace vo {

template <class Receiver>
using SlotConnection = typename std::conditional<true, boost::signals2::connection, Receiver>::type;

}  // namespace vo
