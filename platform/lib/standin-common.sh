# Shared by the stand-ins for the macOS network programs (sourced, not run).
# They run as root with an empty environment: fix the search path and locale.
PATH=/usr/sbin:/usr/bin:/sbin:/bin
LC_ALL=C
export PATH LC_ALL

# The kernel's fixed number for its initial network namespace.
STANDIN_INITIAL_NET_NS=4026531833

# True inside a network namespace other than that of PID 1 (the host's).
# Where PID 1 is hidden from us, only a named namespace ('ip netns add') that
# is not the initial one counts.
standin_in_own_namespace() {
  local own host
  own=$(readlink /proc/self/ns/net 2>/dev/null) || return 1
  if host=$(readlink /proc/1/ns/net 2>/dev/null); then
    [ -n "$host" ] && [ "$own" != "$host" ]
    return
  fi
  [ "$own" != "net:[$STANDIN_INITIAL_NET_NS]" ] && [ -n "$(ip netns identify 2>/dev/null)" ]
}

# Every change goes through here: never touch the host's own network.
standin_require_namespace() {
  if ! standin_in_own_namespace; then
    echo "$STANDIN_NAME: refusing to change the host's network: this stand-in changes only a network namespace of its own (run it under 'ip netns exec')" >&2
    exit 69
  fi
}

# A kernel interface name that no program reads as an option.
standin_is_interface_name() {
  [[ "$1" =~ ^[A-Za-z0-9][A-Za-z0-9._]{0,14}$ ]]
}

standin_interface_exists() {
  standin_is_interface_name "$1" && ip link show dev "$1" >/dev/null 2>&1
}

standin_is_ipv4() {
  local IFS=. part
  [[ "$1" =~ ^[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,3}$ ]] || return 1
  for part in $1; do
    [ "$((10#$part))" -le 255 ] || return 1
  done
}

# An IPv6 address in text form (RFC 4291 section 2.2).
standin_is_ipv6() {
  local text=$1 groups=() group count=0 tail
  [[ "$text" =~ ^[0-9A-Fa-f:.]+$ && "$text" == *:* && "$text" != *:::* ]] || return 1
  tail=${text##*:}
  if [[ "$tail" == *.* ]]; then
    standin_is_ipv4 "$tail" || return 1
    text="${text%:*}:0:0"
  fi
  local compressed=0
  if [[ "$text" == *::* ]]; then
    compressed=1
    [[ "${text#*::}" != *::* ]] || return 1
    text="${text/::/:x:}"
  fi
  [[ "$text" != :[^x]* && "$text" != *[^x]: ]] || return 1
  IFS=: read -r -a groups <<<"$text"
  for group in "${groups[@]}"; do
    [ -z "$group" ] && continue
    if [ "$group" = x ]; then continue; fi
    [[ "$group" =~ ^[0-9A-Fa-f]{1,4}$ ]] || return 1
    count=$((count + 1))
  done
  if [ $compressed = 1 ]; then [ $count -le 7 ]; else [ $count -eq 8 ]; fi
}

# Runs an iproute2 command; on failure prints its message without the
# netlink prefix on standard error and returns its status.
standin_ip() {
  local out status
  out=$(ip "$@" 2>&1 >/dev/null)
  status=$?
  if [ $status -ne 0 ]; then
    out=${out#RTNETLINK answers: }
    printf '%s\n' "${out:-failed}"
  fi
  return $status
}
