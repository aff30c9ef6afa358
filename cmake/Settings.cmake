# Network settings written into the server profiles and the forum link. The defaults come from
# the ranges and the top-level name reserved for documentation; a build for real players sets
# the operator's values. A value that is not a dotted IPv4 address or a host name stops here.

set(TEST_DIRECTORY_ADDRESS "192.0.2.18" CACHE STRING "Test server: directory server address")
set(LIVE_DIRECTORY_HOST "dir.racing.example" CACHE STRING "Live server: directory service host name")
set(LIVE_DIRECTORY_ADDRESS_1 "198.51.100.21" CACHE STRING "Live server: directory server 1 address")
set(LIVE_DIRECTORY_ADDRESS_2 "198.51.100.22" CACHE STRING "Live server: directory server 2 address")
set(LIVE_DIRECTORY_ADDRESS_3 "203.0.113.23" CACHE STRING "Live server: directory server 3 address")
set(LIVE_DIRECTORY_ADDRESS_4 "203.0.113.24" CACHE STRING "Live server: directory server 4 address")
set(FORUM_HOST "forum.racing.example" CACHE STRING "Host name of the maker's forum")

function(require_ipv4 name)
  set(value "${${name}}")
  set(octet "(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9][0-9]|[0-9])")
  if(NOT value MATCHES "^${octet}\\.${octet}\\.${octet}\\.${octet}$")
    message(FATAL_ERROR "${name} is \"${value}\", which is not a dotted IPv4 address such as 192.0.2.18")
  endif()
endfunction()

# Letters, digits and hyphens in labels of 1 to 63 characters that neither start nor end with a
# hyphen, at most 253 characters in all, and a top-level label that is not all digits.
function(require_host_name name)
  set(value "${${name}}")
  set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
  string(LENGTH "${value}" length)
  set(valid TRUE)
  if(length EQUAL 0 OR length GREATER 253 OR NOT value MATCHES "^(${label}\\.)*${label}$")
    set(valid FALSE)
  else()
    string(REPLACE "." ";" labels "${value}")
    foreach(part IN LISTS labels)
      string(LENGTH "${part}" part_length)
      if(part_length GREATER 63)
        set(valid FALSE)
      endif()
    endforeach()
    list(GET labels -1 top)
    if(top MATCHES "^[0-9]+$")
      set(valid FALSE)
    endif()
  endif()
  if(NOT valid)
    message(FATAL_ERROR "${name} is \"${value}\", which is not a valid host name such as dir.racing.example")
  endif()
endfunction()

foreach(setting TEST_DIRECTORY_ADDRESS LIVE_DIRECTORY_ADDRESS_1 LIVE_DIRECTORY_ADDRESS_2
                LIVE_DIRECTORY_ADDRESS_3 LIVE_DIRECTORY_ADDRESS_4)
  require_ipv4(${setting})
endforeach()
require_host_name(LIVE_DIRECTORY_HOST)
require_host_name(FORUM_HOST)
