#!/usr/bin/env bash
# The collection k30.devices against simulated devices: it builds and installs with
# ansible-galaxy, ansible-doc shows both modules, and on an inventory of three local hosts,
# each with its own k30-sim, the first run changes three devices and the second none;
# --check --diff shows the differences and sends no download frame; a device that refuses
# downloads fails its own host only.
# Usage: check-ansible.sh COLLECTION_DIR K30CFG_CLI K30_SIM
set -euo pipefail
# Ansible insists on a UTF-8 locale; C.UTF-8 is on every Debian system.
export LC_ALL=C.UTF-8

collection=$(realpath "$1") cli=$(realpath "$2") sim=$(realpath "$3")
work=$(mktemp -d)
sims=()
cleanup() {
    local pid
    for pid in "${sims[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

command -v ansible-playbook >/dev/null ||
    fail "ansible-playbook is missing (scripts/test.sh installs Debian's ansible-core)"

# Everything Ansible keeps goes into the work folder; no configuration file of the machine.
: >"$work/ansible.cfg"
export ANSIBLE_CONFIG="$work/ansible.cfg" ANSIBLE_HOME="$work/home"
export ANSIBLE_LOCAL_TEMP="$work/tmp" ANSIBLE_REMOTE_TMP="$work/tmp"
export ANSIBLE_COLLECTIONS_PATH="$work/collections" ANSIBLE_NOCOLOR=1 ANSIBLE_FORCE_COLOR=0
export ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3

ansible-galaxy collection build --output-path "$work" "$collection" >/dev/null
ansible-galaxy collection install -p "$work/collections" "$work"/k30-devices-*.tar.gz \
    >/dev/null 2>&1 || fail "the built collection does not install"
for module in k30_config k30_facts; do
    ansible-doc "k30.devices.$module" >"$work/doc.txt" 2>&1 || fail "ansible-doc $module: $(cat "$work/doc.txt")"
    grep -q '^= port' "$work/doc.txt" || fail "ansible-doc $module shows no port option"
done

# A simulated device in its own process for a host: port[HOST] is the pseudo-terminal it
# serves, sim[HOST] its process.
declare -A port sim_of
start_sim() {
    local host=$1 log=$2 i
    shift 2
    "$sim" "$@" >"$log" 2>&1 &
    sim_of[$host]=$!
    sims+=($!)
    for ((i = 0; i < 100; i++)); do
        [ -s "$log" ] && break
        sleep 0.05
    done
    port[$host]=$(head -1 "$log")
    [[ ${port[$host]} == /dev/* ]] || fail "k30-sim did not start: ${port[$host]}"
}

inventory() {
    {
        echo "[tills]"
        local host
        for host in a b c; do
            echo "till-$host ansible_connection=local k30_port=${port[$host]}"
        done
        echo "[tills:vars]"
        echo "k30_cli=$cli"
    } >"$work/inventory"
}

for host in a b c; do
    start_sim "$host" "$work/sim-$host.log"
done
inventory

# The playbook of the README, its file from the controller's files/ folder.
mkdir -p "$work/files"
"$cli" new "$work/files/site.cfg" >/dev/null
"$cli" set "$work/files/site.cfg" decoder.comm.parity=Odd decoder.misc.prefix='{STX}'
cat >"$work/site.yml" <<'YAML'
- name: Scanners get the site configuration
  hosts: tills
  gather_facts: false
  tasks:
    - name: Site configuration
      k30.devices.k30_config:
        src: "{{ k30_src | default('site.cfg') }}"
        remote_src: "{{ k30_src is defined }}"
        port: "{{ k30_port }}"
        executable: "{{ k30_cli }}"
YAML
cat >"$work/facts.yml" <<'YAML'
- name: What the scanners hold
  hosts: tills
  gather_facts: false
  tasks:
    - name: Read the device
      k30.devices.k30_facts:
        port: "{{ k30_port }}"
        executable: "{{ k30_cli }}"
    - name: The site's parity, and both version fields
      ansible.builtin.assert:
        that:
          - k30_parameters['decoder.comm.parity'] == 'Odd'
          - k30_section == 'decoder'
          - k30_versions | length == 2
YAML

# "changed failed" summed over the hosts of the play recap.
play() {
    local name=$1
    shift
    local status=0
    (cd "$work" && ansible-playbook -i inventory "$@") >"$work/$name.out" 2>&1 || status=$?
    echo "$status $(awk '/^till-[abc] +:/ {
        for (i = 1; i <= NF; i++) {
            split($i, kv, "=")
            if (kv[1] == "changed") changed += kv[2]
            if (kv[1] == "failed") failed += kv[2]
        }
    } END { print changed + 0, failed + 0 }' "$work/$name.out")"
}
expect() {
    local name=$1 want=$2 got=$3
    [ "$got" = "$want" ] ||
        fail "$name: status, changed, failed = $got (wanted $want)"$'\n'"$(cat "$work/$name.out")"
}
download_frames() {
    cat "$work"/sim-*.log | grep -c '^received 02 0[12] ' || true
}

expect first "0 3 0" "$(play first site.yml)"
expect second "0 0 0" "$(play second site.yml)"
expect facts "0 0 0" "$(play facts facts.yml)"

"$cli" set "$work/files/site.cfg" decoder.comm.parity=Even
frames=$(download_frames)
expect check "0 3 0" "$(play check site.yml --check --diff)"
grep -q '^-decoder.comm.parity: Odd$' "$work/check.out" || fail "--diff shows no device value"
grep -q '^+decoder.comm.parity: Even$' "$work/check.out" || fail "--diff shows no file value"
grep -q '^+++ after: site.cfg$' "$work/check.out" || fail "--diff does not name the file"
[ "$(download_frames)" = "$frames" ] || fail "--check sent a download frame"

# till-b's device now refuses every download: that host fails, the others are configured
# (with the file on the managed hosts this time).
kill "${sim_of[b]}"
start_sim b "$work/sim-b-refusing.log" --refuse
inventory
expect refused "2 2 1" "$(play refused site.yml -e k30_src="$work/files/site.cfg")"
grep -q '^till-b .*changed=0 .*failed=1' "$work/refused.out" || fail "till-b did not fail alone"
grep -q 'Download Failed!' "$work/refused.out" || fail "the refusal is not reported"
echo "PASS: collection built, 3 hosts changed then none, --check --diff sent nothing, a refusal failed one host"
