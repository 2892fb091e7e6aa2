"""Snapshots the live-host benchmarks publish: a medium widget's worth, different each time."""
import json


def snapshot(i):
    return json.dumps({"schema": 1, "updatedAt": 1700000000000 + i, "account": "me@example.com",
                       "total": 3 + i % 5, "folded": 1,
                       "notes": [{"id": "n1", "title": "给今天留一点空间 %d" % i,
                                  "remindAt": 1700000000000},
                                 {"id": "n2", "title": "Call the plumber, take %d" % i},
                                 {"id": "n3", "title": "把重要的事记下来"}]}).encode()
