#!/usr/bin/python3
"""Keep every part the plant's QorView stations record in one SQLite database.

    examples/plant-historian.py --host broker.plant --db parts.sqlite
    examples/plant-historian.py --host broker.plant --port 8883 --tls-ca plant-ca.crt \\
        --user historian --password-file ~/.config/historian-password --db parts.sqlite

Subscribes to qorview/+/part with QoS 1 under a persistent session, so the broker keeps the parts
that stations publish while the historian is stopped and hands them over when it is back. Each
part is written in one transaction before the broker is told it arrived; a part that comes a
second time (delivery is at least once) has a uuid the database already holds and is dropped.
Ctrl-C or SIGTERM ends it.

Needs Debian's python3-paho-mqtt (the script uses the system interpreter, /usr/bin/python3).
"""

import argparse
import json
import signal
import sqlite3
import sys
from datetime import datetime, timezone

import paho.mqtt.client as mqtt

SCHEMA = """
CREATE TABLE IF NOT EXISTS parts (
    uuid TEXT PRIMARY KEY,
    station TEXT NOT NULL,
    time TEXT NOT NULL,
    serial INTEGER,
    lot TEXT,
    operator TEXT,
    setup TEXT,
    setup_hash TEXT,
    view TEXT,
    verdict TEXT NOT NULL,
    received TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS part_values (
    part_uuid TEXT NOT NULL REFERENCES parts(uuid),
    channel INTEGER NOT NULL,
    description TEXT,
    value REAL,
    decimals INTEGER,
    nominal REAL,
    lower_reject REAL,
    lower_warn REAL,
    upper_warn REAL,
    upper_reject REAL,
    verdict TEXT NOT NULL,
    PRIMARY KEY (part_uuid, channel)
);
CREATE INDEX IF NOT EXISTS parts_by_station_and_time ON parts(station, time);
"""


def open_database(path):
    db = sqlite3.connect(path)
    db.execute("PRAGMA journal_mode=WAL")
    db.execute("PRAGMA synchronous=FULL")
    db.executescript(SCHEMA)
    return db


def store_part(db, part):
    """Writes one part document; returns False when its uuid is already stored."""
    now = datetime.now(timezone.utc).isoformat(timespec="milliseconds")
    with db:
        inserted = db.execute(
            "INSERT OR IGNORE INTO parts (uuid, station, time, serial, lot, operator, setup,"
            " setup_hash, view, verdict, received) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
            (part["uuid"], part["station"], part["time"], part.get("serial"), part.get("lot"),
             part.get("operator"), part.get("setup"), part.get("setup_hash"), part.get("view"),
             part["verdict"], now)).rowcount
        if not inserted:
            return False
        for value in part.get("values", []):
            limits = value.get("limits", {})
            db.execute(
                "INSERT INTO part_values (part_uuid, channel, description, value, decimals,"
                " nominal, lower_reject, lower_warn, upper_warn, upper_reject, verdict)"
                " VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                (part["uuid"], value["channel"], value.get("description"), value.get("value"),
                 value.get("decimals"), value.get("nominal"), limits.get("lower_reject"),
                 limits.get("lower_warn"), limits.get("upper_warn"), limits.get("upper_reject"),
                 value["verdict"]))
    return True


def make_client(client_id):
    # paho-mqtt 2 asks which callback signatures the program was written for; 1.x has no such
    # argument.
    if hasattr(mqtt, "CallbackAPIVersion"):
        return mqtt.Client(mqtt.CallbackAPIVersion.VERSION1, client_id=client_id,
                           clean_session=False)
    return mqtt.Client(client_id=client_id, clean_session=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="localhost")
    parser.add_argument("--port", type=int, default=1883)
    parser.add_argument("--tls-ca", help="CA file: connect with TLS and check the broker by it")
    parser.add_argument("--user")
    parser.add_argument("--password-file", help="a file holding the password on its first line")
    parser.add_argument("--client-id", default="qorview-historian",
                        help="the broker keeps the historian's session under this id")
    parser.add_argument("--topic", default="qorview/+/part")
    parser.add_argument("--db", required=True, help="the SQLite database (created when missing)")
    args = parser.parse_args()

    db = open_database(args.db)
    client = make_client(args.client_id)
    if args.user:
        password = None
        if args.password_file:
            with open(args.password_file, encoding="utf-8") as f:
                password = f.readline().rstrip("\n")
        client.username_pw_set(args.user, password)
    if args.tls_ca:
        client.tls_set(ca_certs=args.tls_ca)

    def on_connect(client_, _userdata, _flags, rc):
        if rc != 0:
            print(f"plant-historian: the broker refused the connection: "
                  f"{mqtt.connack_string(rc)}", file=sys.stderr, flush=True)
            return
        client_.subscribe(args.topic, qos=1)

    def on_subscribe(_client, _userdata, _mid, _granted):
        print(f"subscribed to {args.topic}", flush=True)

    def on_message(_client, _userdata, message):
        try:
            part = json.loads(message.payload)
            stored = store_part(db, part)
        except (ValueError, KeyError, TypeError) as error:
            print(f"plant-historian: skipped a message on {message.topic}: {error}",
                  file=sys.stderr, flush=True)
            return
        state = "stored" if stored else "repeat dropped"
        print(f"{part['station']}\t{part['time']}\t{part['uuid']}\t{part['verdict']}\t{state}",
              flush=True)

    client.on_connect = on_connect
    client.on_subscribe = on_subscribe
    client.on_message = on_message
    client.reconnect_delay_set(min_delay=1, max_delay=60)
    signal.signal(signal.SIGTERM, lambda *_: client.disconnect())
    client.connect_async(args.host, args.port, keepalive=30)
    try:
        client.loop_forever(retry_first_connection=True)
    except KeyboardInterrupt:
        client.disconnect()
    db.close()


if __name__ == "__main__":
    main()
