from tourwright import PyEvent as PyEvent
from tourwright import PyEvent_Travel as PyEvent_Travel
from tourwright import PyEvent_Wait as PyEvent_Wait
from tourwright import PyEvent_Work as PyEvent_Work
from tourwright import PyTravel as PyTravel
from tourwright import PyWait as PyWait
from tourwright import PyWork as PyWork

__all__ = ["PyEvent", "PyEvent_Work", "PyEvent_Wait", "PyEvent_Travel",
           "PyWork", "PyWait", "PyTravel"]
